#pragma once
// The PNG encoder: 8-bit RGB or RGBA, or a palette of 2^depth colours for
// depths 1 to 8; every row unfiltered, deflate level 9, top row first.
#include <cstdint>
#include <string>

constexpr std::int32_t PNG_COLOUR_RGB = 2;
constexpr std::int32_t PNG_COLOUR_RGBA = 6;

// The encoder's entries: 3-byte (blue, green, red) and 4-byte (blue, green,
// red, alpha) buffers. Arguments as for any WriterFunction.
std::int32_t write_png_rgb(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                           std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth);
std::int32_t write_png_rgba(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                            std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth);

// colour_type is PNG_COLOUR_RGB for 3-byte pixels, anything else means 4-byte
// pixels. A depth of 1 to 8 asks for palette output. 1 on success; 0 on
// failure, and then no file is left behind.
std::int32_t write_png(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth,
                       std::int32_t colour_type);

// The same with the name as the system's bytes.
std::int32_t write_png_named(const std::string& path, const std::uint8_t* pixels, std::int32_t width,
                             std::int32_t height, std::int32_t stride, std::uint32_t layout, std::uint32_t options,
                             std::int32_t depth, std::int32_t colour_type);

// Adds the PNG encoder to the encoder list; later calls do nothing.
void register_png_encoder();
