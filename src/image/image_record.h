#pragma once
// One live image in the image registry. The handle comes first: the registry
// treats a record whose handle is 0 as empty.
#include <cstdint>

struct ImageRecord {
  void* handle;        // the image's bitmap (a native::Bitmap*)
  std::int16_t width;  // as read back from the created buffer
  std::int16_t height;
  std::uint8_t depth;           // bits per pixel of the buffer: 24 or 32
  std::uint8_t creation_depth;  // the default output depth when saving
};
