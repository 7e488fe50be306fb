#pragma once
// Numbered top-level windows. Their window procedure turns native messages
// into events: close, size, activation, menu commands and clicks.
#include "runtime/object_table.h"

#include <cstdint>
#include <string_view>

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

// What the runtime keeps per numbered window.
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

// Property on every runtime window: its number + 1, so that 0 means none.
inline constexpr std::u16string_view WINDOW_ID_PROPERTY = u"VX_WindowID";

// The number of the runtime window that contains a native window: the first
// ancestor (the window itself included) carrying the window-number property;
// -1 when there is none.
ObjectId window_number_of(native::Window* window);

// Flags of open_window; other bits are native window styles.
constexpr std::uint32_t WINDOW_CENTER_SCREEN = 0x00000001;
constexpr std::uint32_t WINDOW_CENTER_PARENT = 0x00000002;
constexpr std::uint32_t WINDOW_TOOL = 0x00000004;
constexpr std::uint32_t WINDOW_NO_GADGET_LIST = 0x00000008;
constexpr std::uint32_t WINDOW_NO_ACTIVATE = 0x02000000;
constexpr std::uint32_t WINDOW_INVISIBLE = 0x10000000;
constexpr std::uint32_t WINDOW_MAXIMIZED = 0x01000000;
constexpr std::uint32_t WINDOW_MINIMIZED = 0x20000000;

// A coordinate that lets the system place the window.
constexpr int IGNORE_COORDINATE = -65535;

// Accelerator commands of every window: Tab and Shift+Tab move the focus.
constexpr std::uint16_t FOCUS_NEXT_COMMAND = 64001;
constexpr std::uint16_t FOCUS_PREVIOUS_COMMAND = 64002;

// Message a tray icon sends its window.
constexpr std::uint32_t TRAY_NOTIFY_MESSAGE = 12501;

void init_windows();
void shutdown_windows();
ObjectTable* window_table();
WindowRecord* window_record(ObjectId number);

// The inner size excludes any menu bar. Answers the native handle for a
// number, the new identity for OBJECT_ANY, 0 when no window could be made.
ObjectId open_window(ObjectId number, int x, int y, int inner_width, int inner_height, std::u16string_view title,
                     std::uint32_t flags, native::Window* parent = nullptr);
// 0 when the number names no window; OBJECT_ANY frees every window.
std::intptr_t free_window(ObjectId number);
native::Window* window_handle(ObjectId number);
std::intptr_t set_window_stay_on_top(ObjectId number, bool on);
// Lets data of a format be dropped on the window (actions 0 withdraws it).
void enable_window_drop(ObjectId number, std::int32_t format, std::uint32_t actions, std::uint32_t private_key = 0);

// Hooks for the layers above: the gadget layer answers commands from its
// controls, the drop layer lets go of a window's drop target.
using GadgetCommandHandler = bool (*)(native::Window* control, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam, std::intptr_t& result);
using DropTargetRelease = bool (*)(native::Window* window);
void set_gadget_command_handler(GadgetCommandHandler handler);
void set_drop_target_release(DropTargetRelease release);
DropTargetRelease drop_target_release();
GadgetCommandHandler gadget_command_handler();

// The thread-wide message callback (none unless the program sets one).
void set_thread_message_callback(WindowCallback callback);
WindowCallback thread_message_callback();
