#pragma once
// What a backend supplies: the screen and its metrics, the clock, waiting
// for input, and hearing about window changes so that it can show them. The
// core owns all window state; a backend only turns happenings into messages
// posted or sent through the core. A slot left null is filled by the core's
// harmless default (the null backend: an in-memory screen, the monotonic
// real clock and plain sleeping).
#include "native/windowing/messages.h"

#include <cstdint>

namespace native {

struct Window;
struct Menu;
struct Cursor;
struct Rect;
struct FileDialogRequest;
struct FileDialogAnswer;
struct MessageBoxRequest;

struct Backend {
  const char* name = "null";
  // A system metric, or -1 to take the core's default for it.
  int (*system_metric)(int index) = nullptr;
  int (*double_click_time_ms)() = nullptr;
  // Turns input that is already pending into messages, without blocking.
  void (*pump_input)() = nullptr;
  // Blocks for at most timeout_ms (INFINITE: until input) and turns what
  // arrives into messages. Answers true when something may have arrived.
  bool (*wait_input)(std::uint32_t timeout_ms) = nullptr;
  // Milliseconds on a clock that never goes back; only differences count.
  // The core reads time through nothing else, so a backend whose waits do
  // not really wait can keep a clock that moves only when they would.
  std::uint64_t (*clock_ms)() = nullptr;
  // Whether a virtual key is down anywhere on the display, whichever
  // program has the keyboard; false when it cannot tell. The core adds the
  // keys pressed in its own windows.
  bool (*key_down_anywhere)(int virtual_key) = nullptr;

  // Notifications after the core changed a window.
  void (*window_created)(Window* window) = nullptr;
  void (*window_destroyed)(Window* window) = nullptr;
  void (*window_shown)(Window* window, bool visible) = nullptr;
  void (*window_placed)(Window* window) = nullptr;  // rectangle, state or Z order
  void (*window_text_changed)(Window* window) = nullptr;
  void (*window_activated)(Window* window) = nullptr;  // null: nothing of ours is active
  void (*menu_changed)(Window* window) = nullptr;      // bar attached or an item changed
  // Pixels of the window's surface changed inside `rect` (client coordinates).
  void (*surface_changed)(Window* window, const Rect& rect) = nullptr;
  void (*cursor_changed)(Cursor* cursor) = nullptr;
  void (*capture_changed)(Window* window) = nullptr;
  void (*cursor_clip_changed)(const Rect* rect) = nullptr;

  // Modal boxes: each blocks until the user closes it. A file dialog
  // answers false when cancelled; a message box answers the button id.
  bool (*file_dialog)(const FileDialogRequest& request, FileDialogAnswer& answer) = nullptr;
  int (*message_box)(const MessageBoxRequest& request) = nullptr;
};

// The backend in use, its null slots filled with the core's defaults.
const Backend& backend();

}  // namespace native
