#pragma once
// The headless backend: no display, a fixed 1280 × 1024 screen with fixed
// metrics, a virtual clock, and an input-injection interface for tests.
// Injected input goes through the core exactly as a display's would: key
// and pointer state change at once, messages are queued with the current
// time and pointer position, and are handled when the program fetches them.
//
// The clock starts at the same value on every install and stands still
// while the program runs; it moves only when a wait would block, by exactly
// the time waited. A wait with a timeout that nothing ends returns at once,
// the timeout later; the blocking fetch's wait ends when the next timer is
// due, so the timer fires at exactly its time. Tests read it through
// get_tick_count().
#include "native/windowing/dialogs.h"
#include "native/windowing/drag_drop.h"
#include "native/windowing/input_events.h"
#include "native/windowing/messages.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace native {
struct Backend;
struct Bitmap;
}  // namespace native

namespace native::headless {

constexpr int SCREEN_WIDTH = 1280;
constexpr int SCREEN_HEIGHT = 1024;
constexpr int CAPTION_HEIGHT = 23;
constexpr int SMALL_CAPTION_HEIGHT = 17;
constexpr int FIXED_FRAME = 3;
constexpr int SIZING_FRAME = 4;
constexpr int BORDER = 1;
constexpr int EDGE = 2;
constexpr int MENU_HEIGHT = 20;
constexpr int DOUBLE_CLICK_MS = 500;

const Backend* backend();
// A fresh window system on this backend, with nothing scheduled and the
// clock at its start.
void install();

// --- the program waiting --------------------------------------------------

// Queues a user action; each time the program waits for input, the oldest
// action runs (and so delivers its input) before any time passes.
void schedule(std::function<void()> action);
std::size_t scheduled_count();
// Called when the program would wait for ever with nothing scheduled: no
// input can ever come. The default prints a note and aborts; a test may
// instead post something (e.g. a quit request) to end the wait.
void on_starved(std::function<void()> handler);

// --- keyboard -------------------------------------------------------------

constexpr std::uint32_t MOD_SHIFT = 1;
constexpr std::uint32_t MOD_CONTROL = 2;
constexpr std::uint32_t MOD_ALT = 4;

void key_down(std::uint8_t virtual_key);
void key_up(std::uint8_t virtual_key);
// Holds the modifiers (Control, Shift, Alt), presses and releases the key,
// lets the modifiers go in reverse order.
void press_key(std::uint8_t virtual_key, std::uint32_t modifiers = 0);

// --- mouse ----------------------------------------------------------------

void mouse_move(Point screen);
void mouse_down(MouseButton button, Point screen);
void mouse_up(MouseButton button, Point screen);
void click(Point screen, MouseButton button = MouseButton::left);
void double_click(Point screen, MouseButton button = MouseButton::left);
void wheel(int delta);
// A screen point from a window's client coordinates.
Point client_point(Window* window, int x, int y);

// --- the window manager ---------------------------------------------------

// Posts WM_COMMAND (id, 0) to the window, as choosing an item of its menu
// bar does. False when the bar has no such enabled item.
bool choose_menu_item(Window* window, std::uint16_t id);
// Posts WM_SYSCOMMAND SC_CLOSE, which default processing turns into
// WM_CLOSE. False for a window without a close box.
bool click_close_box(Window* window);
void minimize(Window* window);
void maximize(Window* window);
void restore(Window* window);
// The user brings a window of ours to the front.
void activate(Window* window);
// The user switches to another program: our active window is deactivated
// and neither the active nor the foreground window is ours any more.
void activate_other_program();

// --- drag and drop ----------------------------------------------------------

// The drag moves to a point (entering, leaving and hovering targets as it
// goes); answers the effect the target under it chose.
std::uint32_t drag_over(const DataObject& data, Point screen, std::uint32_t allowed,
                        std::uint32_t key_state = MK_LBUTTON);
void drag_leave();
// Drops at a point; answers the effect the target reported (none when it
// refused or nothing accepts drops there).
std::uint32_t drop(const DataObject& data, Point screen, std::uint32_t allowed, std::uint32_t key_state = MK_LBUTTON);
// Enters, hovers and drops in one go, as a quick drag would.
std::uint32_t drop_files(Point screen, const std::vector<std::u16string>& names,
                         std::uint32_t allowed = DROPEFFECT_COPY, std::uint32_t key_state = MK_LBUTTON);
std::uint32_t drop_text(Point screen, const std::u16string& text, std::uint32_t allowed = DROPEFFECT_COPY,
                        std::uint32_t key_state = MK_LBUTTON);

// --- dialogs and message boxes ---------------------------------------------

// How a top-level window of ours stood while a box was up.
struct WindowState {
  Window* window = nullptr;
  bool visible = false;
  bool enabled = false;
  bool topmost = false;
};

struct FileDialogRecord {
  FileDialogRequest request;
  std::vector<WindowState> windows;  // every top-level window, topmost first
  Window* foreground = nullptr;
  std::optional<std::u16string> answer;  // what the user chose; none: cancelled
  // The state of one window while the box was up ({} for an unknown one).
  WindowState window(Window* window) const;
};

struct MessageBoxRecord {
  MessageBoxRequest request;
  std::vector<WindowState> windows;
  Window* foreground = nullptr;
  int answer = 0;
  WindowState window(Window* window) const;
};

// The user's part in the next boxes: the handler runs while the box is up
// and answers the chosen path (none: cancel) or the button pressed. Without
// a handler a file dialog is cancelled and a message box gets Enter (IDOK
// for an OK box). Every box is recorded either way.
using FileDialogHandler = std::function<std::optional<std::u16string>(const FileDialogRequest&)>;
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;
void on_file_dialog(FileDialogHandler handler);
void on_message_box(MessageBoxHandler handler);
// Answers the next file dialogs in turn, one path each (none: cancel); once
// they are used up, dialogs are cancelled.
void answer_file_dialogs(std::vector<std::optional<std::u16string>> answers);
const std::vector<FileDialogRecord>& file_dialogs();
const std::vector<MessageBoxRecord>& message_boxes();

// --- what the screen shows --------------------------------------------------

const Bitmap* surface(Window* window);
std::uint32_t pixel(Window* window, int x, int y);  // 0x00RRGGBB

}  // namespace native::headless
