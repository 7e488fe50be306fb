#pragma once
// Numbered in-memory images: 24- or 32-bit pixel buffers, rows stored
// bottom-up, each row padded to a multiple of 4 bytes, bytes blue, green,
// red (and alpha). Images are named by a small number the program chooses or,
// when created with OBJECT_ANY, by the identity create_image answers.
#include "image/drawing_context.h"
#include "image/image_record.h"
#include "runtime/object_table.h"

#include <cstdint>

// Images cannot be larger than this in either direction: the record keeps
// sizes in 16 bits.
constexpr int MAX_IMAGE_SIZE = 32767;

// Start-up steps, in this order, after the general heap exists.
void init_image_services();
void init_images();
// Shutdown steps, in this order.
void free_all_images();
void shutdown_image_services();

// Makes an image filled with a colour (0x00BBGGRR; for 32 bits the alpha is
// forced opaque, and a colour of -1 gives transparent black). Depths below 24
// give 24 bits. Reusing a number frees the old image first. Answers the
// bitmap handle for a fixed number, the new identity for OBJECT_ANY, or 0
// when the buffer cannot be made (the number then names no image).
ObjectId create_image(ObjectId number, int width, int height, int depth = 24, std::uint32_t colour = 0);
// 0 if the number names no image. OBJECT_ANY frees every image.
std::intptr_t free_image(ObjectId number);
bool is_image(ObjectId number);
// The image's bitmap handle (for draw_image), or 0.
ObjectId image_id(ObjectId number);

// Opens an image for drawing: a new drawing context, already current, to
// pass to start_drawing; null when the number names no drawable image.
DrawingContext* image_output(ObjectId number);

// Bytes per row of a pixel buffer.
std::int32_t row_stride(std::int32_t width, std::int32_t depth);

// The image registry (null before init_images).
ObjectTable* image_table();
// Whether the optional "AlphaBlend" entry was found at start-up.
bool alpha_blend_available();
