#pragma once
// What the runtime keeps per numbered window.
#include <cstdint>

namespace native {
struct Window;
struct AccelTable;
struct Accel;
struct Brush;
struct DeviceContext;
}  // namespace native

// A program's own look at a window's messages; answering CALLBACK_DEFAULT
// lets the runtime handle the message.
using WindowCallback = std::intptr_t (*)(native::Window*, std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam);
using EraseCallback = std::intptr_t (*)(native::DeviceContext*, native::Window*);

struct WindowRecord {
  native::Window* handle;
  native::Accel* accelerators;  // in the order they were added
  native::AccelTable* accelerator_table;
  WindowCallback message_callback;
  std::int32_t accelerator_count;
  native::Brush* background;
  native::Window* mdi_client;
  EraseCallback erase_callback;
  std::uint16_t min_track_width;
  std::uint16_t min_track_height;
  std::uint16_t max_track_width;
  std::uint16_t max_track_height;
  std::int32_t minimised_or_maximised;
};
