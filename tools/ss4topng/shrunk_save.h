#pragma once
// Saving an image at a smaller size, for thumbnails. The image runtime's own
// smooth resizing is a tent filter; thumbnails want each pixel to be the
// exact mean of the area it covers.
#include "runtime/object_table.h"

#include <cstdint>

// Writes image `number` shrunk to width x height by area averaging, through
// a scratch image and the image save with `encoder`. Answers the writer's
// result: 0 on any failure, and then no file is left behind.
std::int32_t save_image_shrunk(ObjectId number, int width, int height, const char16_t* name, std::uint32_t encoder);
