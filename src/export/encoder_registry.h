#pragma once
// Image encoders and the save dispatch. An encoder is named by up to four
// ASCII letters packed into 32 bits, the first letter in the lowest byte.
#include <cstdint>

constexpr std::uint32_t ENCODER_PNG = 0x474E50;  // "PNG"
constexpr std::uint32_t ENCODER_BMP = 0x504D42;  // "BMP"

// Layout bit: the first row in memory is the picture's bottom row.
constexpr std::uint32_t ROWS_BOTTOM_UP = 2;
// Option bit: error diffusion when colours are reduced to a palette.
constexpr std::uint32_t DITHER = 0x100;

// Writes a pixel buffer (3 bytes blue-green-red or 4 bytes blue-green-red-
// alpha per pixel) to a file; non-zero on success.
using WriterFunction = std::int32_t (*)(const char16_t* name, const std::uint8_t* pixels, std::int32_t width,
                                        std::int32_t height, std::int32_t stride, std::uint32_t layout,
                                        std::uint32_t options, std::int32_t depth);

struct ImageEncoder {
  std::uint32_t code;
  WriterFunction write_24;  // always present
  WriterFunction write_32;  // null when the encoder cannot keep alpha
};

constexpr int MAX_ENCODERS = 30;

// Appends an encoder to the list. The list never grows past MAX_ENCODERS: a
// further registration is ignored.
void register_encoder(ImageEncoder* encoder);

// How many encoders are registered, and the first one registered under a code
// (null when there is none).
int encoder_count();
const ImageEncoder* find_encoder(std::uint32_t code);

// The dispatch behind saving an image: BMP is built in, other codes go to the
// first registered encoder with that code. 32-bit pixels are composited over
// white for encoders (or depths) that take 24 bits only. 0 on failure.
std::int32_t write_image_file(const char16_t* name, const std::uint8_t* pixels, std::uint32_t encoder,
                              std::int32_t width, std::int32_t height, std::int32_t stride, std::int32_t image_depth,
                              std::uint32_t layout, std::uint32_t options, std::int32_t depth);
