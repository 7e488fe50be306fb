#pragma once
// Saving a numbered image to a file through the encoder named by its code.
#include "runtime/object_table.h"

#include <cstdint>

// Writes image `number` to `name` with the encoder `encoder` (ENCODER_PNG,
// ENCODER_BMP, or another registered code). `depth` -1 asks for the depth the
// image was created with. Answers the writer's result: 0 on any failure.
std::int32_t save_image(ObjectId number, const char16_t* name, std::uint32_t encoder, std::uint32_t options = 7,
                        std::int32_t depth = -1);
