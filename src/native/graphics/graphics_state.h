#pragma once
// The graphics objects' state: every live handle and the stock bitmap. Made
// on first use and kept for the life of the process, so a program without
// windows draws without starting anything. The per-thread drawing batch
// limit stays thread_local in device_context.cpp.
#include <unordered_set>

namespace native {

struct Bitmap;

namespace detail {

struct GraphicsState {
  std::unordered_set<const void*> live_objects;  // bitmaps, brushes and device contexts
  Bitmap* stock_bitmap = nullptr;                // made on first use, never deleted
};

GraphicsState& graphics();

}  // namespace detail
}  // namespace native
