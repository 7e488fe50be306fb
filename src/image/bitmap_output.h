#pragma once
// What every output provider does once it has found its bitmap: a memory
// device context with the bitmap selected, a new drawing context for the
// pixel format, and the platform's drawing batch limit held at 1 for the
// pass. Providers add their own fields and pass their own release.
#include "image/drawing_context.h"

namespace native {
struct Bitmap;
}

// Null when the bitmap is not a device-independent bitmap with pixels, or
// when the device context, the drawing context or the selection fails.
DrawingContext* bitmap_output(native::Bitmap* bitmap, std::uint32_t format, ReleaseEntry release);
// The part every release shares: the device context goes (deselecting the
// bitmap) and the saved batch limit comes back.
void release_bitmap_output(DrawingContext* context);
