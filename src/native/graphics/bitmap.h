#pragma once
// Bitmaps: device-independent ones whose pixel memory the program reads and
// writes directly (rows padded to 4 bytes, bottom-up unless made top-down,
// bytes blue-green-red(-alpha), 16-bit pixels x-5-5-5), and device-dependent
// ones whose pixels only the core touches.
#include "native/graphics/gdi_object.h"

#include <cstddef>
#include <cstdint>

namespace native {

struct DeviceContext;

struct Bitmap : GdiObject {
  Bitmap() : GdiObject(ObjectType::bitmap) {}
  ~Bitmap() override;
  int width = 0;
  int height = 0;          // always positive; top_down tells the row order
  int bits_per_pixel = 0;  // 16, 24 or 32
  bool top_down = false;
  bool is_dib = false;
  bool is_stock = false;
  std::size_t stride = 0;
  std::uint8_t* bits = nullptr;
  DeviceContext* selected_into = nullptr;
  bool delete_when_deselected = false;
};

// What a query with the plain bitmap description answers.
struct BitmapDescription {
  int width;
  int height;
  int width_bytes;
  int bits_per_pixel;
  void* bits;  // null for device-dependent bitmaps
};

// What a query with the full section description answers: only
// device-independent bitmaps have one.
struct DibSection {
  BitmapDescription bitmap;
  int header_height;  // negative for top-down rows
  std::size_t image_size;
};

std::size_t dib_stride(int width, int bits_per_pixel);

// A zero-filled device-independent bitmap; a negative height makes it
// top-down. Null for a zero size, a depth other than 16, 24 or 32, or a buffer
// that cannot be had.
Bitmap* create_dib_section(int width, int height, int bits_per_pixel);
// A device-dependent 32-bit bitmap, zero-filled.
Bitmap* create_compatible_bitmap(int width, int height);

bool get_bitmap(const void* handle, BitmapDescription& out);
bool get_dib_section(const void* handle, DibSection& out);

// Copies lines of any bitmap into a caller's buffer of 24- or 32-bit rows
// (padded to 4 bytes, bottom-up unless top_down). Answers the lines copied.
int get_di_bits(const void* bitmap, int start_line, int lines, void* out, int bits_per_pixel, bool top_down);
// The reverse, into any bitmap.
int set_di_bits(void* bitmap, int start_line, int lines, const void* in, int bits_per_pixel, bool top_down);

// Pixel access in picture coordinates (y = 0 at the top), as 0xAARRGGBB.
std::uint32_t read_pixel(const Bitmap& bitmap, int x, int y);
void write_pixel(Bitmap& bitmap, int x, int y, std::uint32_t argb);
std::uint8_t* row_address(const Bitmap& bitmap, int y);

// The one-pixel bitmap every new device context starts with.
Bitmap* stock_bitmap();

}  // namespace native
