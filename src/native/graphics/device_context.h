#pragma once
// Memory device contexts, solid brushes, rectangle fill and bit blits.
#include "native/graphics/gdi_object.h"

#include <cstdint>

namespace native {

struct Bitmap;

struct Rect {
  int left, top, right, bottom;
};

struct Brush : GdiObject {
  Brush() : GdiObject(ObjectType::brush) {}
  std::uint32_t colour = 0;  // 0x00BBGGRR
};

constexpr int STRETCH_COLORONCOLOR = 3;
constexpr int STRETCH_HALFTONE = 4;

struct DeviceContext : GdiObject {
  DeviceContext() : GdiObject(ObjectType::dc) {}
  ~DeviceContext() override;
  Bitmap* bitmap = nullptr;  // the selected bitmap
  int stretch_mode = STRETCH_COLORONCOLOR;
  int brush_origin_x = 0, brush_origin_y = 0;
};

// A memory device context with the one-pixel stock bitmap selected.
DeviceContext* create_compatible_dc(const DeviceContext* reference = nullptr);
bool delete_dc(DeviceContext* dc);
// Selects a bitmap and answers the one it replaces; null on failure (a
// bitmap selected into another context cannot be selected).
GdiObject* select_object(DeviceContext* dc, GdiObject* object);

Brush* create_solid_brush(std::uint32_t colour);
// Fills left..right-1, top..bottom-1 with the brush's colour, clipped to the
// bitmap; 32-bit pixels get alpha 0.
bool fill_rect(DeviceContext* dc, const Rect& rect, const Brush* brush);

bool bit_blt(DeviceContext* target, int x, int y, int width, int height, const DeviceContext* source, int source_x,
             int source_y);
int set_stretch_blt_mode(DeviceContext* dc, int mode);
bool set_brush_org(DeviceContext* dc, int x, int y);
// Copies a source rectangle into a target rectangle of another size:
// halftone mode resamples smoothly, any other mode picks nearest pixels.
bool stretch_blt(DeviceContext* target, int x, int y, int width, int height, const DeviceContext* source, int source_x,
                 int source_y, int source_width, int source_height);

// The per-thread drawing batch limit. Drawing here is never deferred, so the
// value is only kept and answered.
unsigned gdi_get_batch_limit();
unsigned gdi_set_batch_limit(unsigned limit);

}  // namespace native
