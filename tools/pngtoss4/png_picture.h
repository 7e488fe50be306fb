#pragma once
// Reading a PNG file into an RGB picture, composited on black where it is
// transparent, in sRGB whatever its own gamma. Pictures too large to hold
// sensibly are refused before any pixel memory is taken.
#include "encoder/screen_encoder.h"

#include <cstdint>
#include <string>

// The largest picture taken: 64 megapixels, 192 MB as RGB.
constexpr std::uint64_t MAX_PICTURE_PIXELS = std::uint64_t{1} << 26;

enum class PictureReadStatus { read, unreadable, not_png, too_large };

struct PictureRead {
  PictureReadStatus status = PictureReadStatus::unreadable;
  int error = 0;       // errno, for unreadable
  std::string detail;  // what the PNG reader or the size check said
  RgbPicture picture;
};

// `name` is used as the bytes it is.
PictureRead read_png_picture(const std::string& name);
