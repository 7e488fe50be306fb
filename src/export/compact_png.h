#pragma once
// The compact PNG: exactly the pixels the RGB writer stores, in far fewer
// bytes and far less time. A picture of at most 256 colours (a rendered
// screen has at most 128) is stored as indices into a palette of the colours
// it uses, 4 bits a pixel for up to 16 colours, else 8; a picture of more
// (a shrunk thumbnail) as RGB. Deflate works at a middle level on unfiltered
// index rows and on adaptively filtered RGB rows, the settings measured to
// give the smallest files for the time on dithered screens.
#include <cstdint>
#include <string>

constexpr std::uint32_t ENCODER_PNG_COMPACT = 0x43474E50;  // "PNGC"

// The encoder's 24-bit entry (blue, green, red pixels); arguments as for any
// WriterFunction, options and depth unused. 1 on success; 0 on failure, and
// then no file is left behind.
std::int32_t write_compact_png(const char16_t* name, const std::uint8_t* pixels, std::int32_t width,
                               std::int32_t height, std::int32_t stride, std::uint32_t layout, std::uint32_t options,
                               std::int32_t depth);

// The same with the name as the system's bytes.
std::int32_t write_compact_png_named(const std::string& path, const std::uint8_t* pixels, std::int32_t width,
                                     std::int32_t height, std::int32_t stride, std::uint32_t layout);

// Adds the compact encoder to the encoder list; later calls do nothing.
void register_compact_png_encoder();
