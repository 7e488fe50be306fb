#pragma once
// The window system's private state: window classes and records, the queue,
// input state, timers and the backend. Only windowing files include this;
// backends use the public headers. System services and graphics objects keep
// their own (system_state.h, graphics_state.h) and never see this one.
#include "native/graphics/device_context.h"
#include "native/windowing/backend.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/window.h"

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace native {

struct Bitmap;
class DropTarget;

namespace detail {

struct ClassData {
  std::u16string name;
  std::uint32_t style = 0;
  WindowProc procedure = nullptr;
  std::uintptr_t background = 0;
  Cursor* cursor = nullptr;
  int windows = 0;
};

struct WindowData {
  Window* handle = nullptr;
  std::shared_ptr<ClassData> window_class;
  WindowProc procedure = nullptr;
  WindowData* parent = nullptr;       // WS_CHILD windows only
  Window* owner = nullptr;            // top-level windows only; validated when read
  std::vector<WindowData*> children;  // topmost first; new children go last
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  std::intptr_t id = 0;
  std::uint32_t thread_id = 0;  // the thread that made it
  std::u16string title;
  Rect rect{};         // outer rectangle in the parent's client coordinates (screen for top level)
  Rect normal_rect{};  // where a minimised or maximised window goes back to
  Menu* menu = nullptr;
  std::uint32_t ui_state = 0;  // hidden keyboard cues: 1 focus rectangles, 2 accelerator underlines
  std::vector<std::pair<std::u16string, void*>> props;
  bool destroying = false;
  bool destroyed = false;
  // Paint state.
  bool invalid = false;
  bool erase_pending = false;
  Rect update{};
  Bitmap* surface = nullptr;
  std::vector<DeviceContext*> dcs;
  DropTarget* drop_target = nullptr;
};

struct QueuedMessage {
  Message message;
  KeyChange change, second;
};

struct Timer {
  Window* window = nullptr;
  std::uintptr_t id = 0;
  std::uint32_t interval = 0;
  std::uint32_t due = 0;  // in now_ms() time
};

struct ClickRecord {
  Window* window = nullptr;
  std::uint32_t button_message = 0;  // the DOWN message of the button
  std::uint32_t time = 0;
  Point point;
  bool valid = false;
};

struct WindowingState {
  bool initialized = false;
  Backend backend;
  std::uint64_t clock_start = 0;  // the backend's clock when the state began
  std::unordered_map<const void*, std::unique_ptr<WindowData>> windows;
  // Destroyed records, freed only when the program fetches a message with no
  // call of ours in flight, so no caller is ever left holding freed memory.
  std::vector<std::unique_ptr<WindowData>> graveyard;
  std::vector<WindowData*> top_level;  // Z order, topmost first
  std::vector<std::shared_ptr<ClassData>> classes;
  int send_depth = 0;

  Window* active = nullptr;
  Window* focus = nullptr;
  Window* capture = nullptr;
  bool other_program_active = false;

  std::deque<QueuedMessage> posted;
  std::deque<QueuedMessage> input;
  bool quit_pending = false;
  int quit_code = 0;
  std::vector<std::u16string> registered_messages;

  std::uint8_t keys_now[256] = {};
  std::uint8_t keys_at_message[256] = {};
  Point cursor_pos{};
  std::uint32_t message_pos = 0;
  std::uint32_t message_time = 0;
  Cursor* cursor = nullptr;
  bool clip_active = false;
  Rect clip{};
  Window* tracked = nullptr;  // waiting for WM_MOUSELEAVE
  ClickRecord last_click;
  std::vector<Timer> timers;
  std::uintptr_t next_thread_timer = 0x7FFF;
  int ole_count = 0;
};

WindowingState& windowing();
Window* new_window_handle();
std::shared_ptr<ClassData> lookup_class(std::u16string_view name);
// Makes the window active (null: none of ours), as clicks and show commands
// do; `kind` is WA_ACTIVE or WA_CLICKACTIVE.
void activate(Window* window, std::uintptr_t kind);
// Before a window is hidden or destroyed: activation moves to the next
// visible top-level window, and focus leaves it.
void move_activation_away(WindowData& window);
// Z order among siblings (top-level: with the always-on-top band).
void place_in_z_order(WindowData& window, Window* insert_after);
// Drops queued messages for the window.
void purge_messages(Window* window);
// Class and registered-message names compare ignoring ASCII case.
bool same_name(std::u16string_view a, std::u16string_view b);
// The record of a live window, null for a stale, made-up or destroyed one.
WindowData* find(const Window* handle);
Window* handle_of(const WindowData* data);  // null-safe

// Frame thickness on each side for the given styles.
Rect frame_insets(std::uint32_t style, std::uint32_t ex_style, bool has_menu);
// The client area inside the window rectangle, in the window's own outer
// coordinates (0, 0 = top-left of the frame).
Rect client_area(const WindowData& window);
Point client_origin_on_screen(const WindowData& window);
bool window_has_menu_bar(const WindowData& window);
// Brings the window's surface to its client size, keeping the pixels.
void fit_surface(WindowData& window);
void drop_surface(WindowData& window);
// Fills the client area with the class background; false without one.
bool erase_background(WindowData& window, DeviceContext* dc);
// After a size change: WM_SIZE with the current kind and size.
void send_size(WindowData& window);
void send_move(WindowData& window);

// Milliseconds since init on the backend's clock.
std::uint32_t now_ms();
void apply_key_change(const KeyChange& change);
void collect_graveyard();
// Clears every reference the input, paint and drag state hold on a window.
void forget_window(Window* window);
void release_drop_registration(WindowData& window);
// A due timer's WM_TIMER (earliest first), restarting its interval when
// taken.
bool take_due_timer(Message& out, Window* filter, bool remove);
// Milliseconds until the next timer is due; INFINITE without timers.
std::uint32_t ms_until_next_timer();
void forget_timers(Window* window);
void reset_menus();
void reset_accelerators();
void reset_drag();
// The colour of a class background value (brush or colour index + 1).
bool background_colour(std::uintptr_t background, std::uint32_t& colour);

}  // namespace detail
}  // namespace native
