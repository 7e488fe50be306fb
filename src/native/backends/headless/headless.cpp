// The headless backend: fixed screen, virtual clock, injected input.
#include "native/backends/headless/headless.h"

#include "native/windowing/backend.h"
#include "native/windowing/input_state.h"
#include "native/windowing/menu.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/paint.h"
#include "native/windowing/window.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>

namespace native::headless {
namespace {

struct State {
  std::uint64_t clock_ms = 0;
  std::deque<std::function<void()>> scheduled;
  std::function<void()> starved;
  FileDialogHandler file_dialog;
  MessageBoxHandler message_box;
  std::vector<FileDialogRecord> file_dialogs;
  std::vector<MessageBoxRecord> message_boxes;
};

State& state() {
  static State s;
  return s;
}

int metric(int index) {
  switch (index) {
    case SM_CXSCREEN: return SCREEN_WIDTH;
    case SM_CYSCREEN: return SCREEN_HEIGHT;
    case SM_CYCAPTION: return CAPTION_HEIGHT;
    case SM_CYSMCAPTION: return SMALL_CAPTION_HEIGHT;
    case SM_CXBORDER:
    case SM_CYBORDER: return BORDER;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return FIXED_FRAME;
    case SM_CXFRAME:
    case SM_CYFRAME: return SIZING_FRAME;
    case SM_CXEDGE:
    case SM_CYEDGE: return EDGE;
    case SM_CYMENU: return MENU_HEIGHT;
    default: return -1;
  }
}

int double_click_time() { return DOUBLE_CLICK_MS; }

std::uint64_t clock_ms() { return state().clock_ms; }

// Nothing is really waited for: the user's next action comes at once, and a
// wait that nothing can end is over the moment it starts, its timeout later.
bool wait_input(std::uint32_t timeout_ms) {
  State& s = state();
  if (!s.scheduled.empty()) {
    auto action = std::move(s.scheduled.front());
    s.scheduled.pop_front();
    action();
    return true;
  }
  if (timeout_ms != INFINITE) {
    s.clock_ms += timeout_ms;
    return false;
  }
  if (s.starved) {
    s.starved();
    return true;
  }
  std::fputs("headless: the program waits for input that can never arrive\n", stderr);
  std::abort();
}

std::vector<WindowState> window_states() {
  std::vector<WindowState> states;
  for (Window* w : top_level_windows())
    states.push_back(
        {w, is_window_visible(w), is_window_enabled(w), (get_window_long(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0});
  return states;
}

WindowState state_in(const std::vector<WindowState>& states, Window* window) {
  for (const WindowState& s : states)
    if (s.window == window) return s;
  return {};
}

bool show_file_dialog(const FileDialogRequest& request, FileDialogAnswer& answer) {
  State& s = state();
  FileDialogRecord record{request, window_states(), get_foreground_window(), std::nullopt};
  if (s.file_dialog) record.answer = s.file_dialog(request);
  if (record.answer) answer.path = *record.answer;
  bool chosen = record.answer.has_value();
  s.file_dialogs.push_back(std::move(record));
  return chosen;
}

int show_message_box(const MessageBoxRequest& request) {
  State& s = state();
  MessageBoxRecord record{request, window_states(), get_foreground_window(), 0};
  record.answer = s.message_box ? s.message_box(request) : default_button(request.flags);
  s.message_boxes.push_back(record);
  return record.answer;
}

const Backend table = [] {
  Backend b;
  b.name = "headless";
  b.system_metric = &metric;
  b.double_click_time_ms = &double_click_time;
  b.wait_input = &wait_input;
  b.clock_ms = &clock_ms;
  b.file_dialog = &show_file_dialog;
  b.message_box = &show_message_box;
  return b;
}();

bool has_enabled_item(Menu* menu, std::uint16_t id) {
  if (!menu) return false;
  int state = get_menu_state(menu, id, MF_BYCOMMAND);
  return state != -1 && !(state & (MFS_GRAYED | MF_POPUP));
}

}  // namespace

const Backend* backend() { return &table; }

void install() {
  state() = State{};
  init(&table);
}

void schedule(std::function<void()> action) { state().scheduled.push_back(std::move(action)); }
std::size_t scheduled_count() { return state().scheduled.size(); }
void on_starved(std::function<void()> handler) { state().starved = std::move(handler); }

void key_down(std::uint8_t virtual_key) { input_key(virtual_key, true); }
void key_up(std::uint8_t virtual_key) { input_key(virtual_key, false); }

void press_key(std::uint8_t virtual_key, std::uint32_t modifiers) {
  if (modifiers & MOD_CONTROL) key_down(VK_CONTROL);
  if (modifiers & MOD_SHIFT) key_down(VK_SHIFT);
  if (modifiers & MOD_ALT) key_down(VK_MENU);
  key_down(virtual_key);
  key_up(virtual_key);
  if (modifiers & MOD_ALT) key_up(VK_MENU);
  if (modifiers & MOD_SHIFT) key_up(VK_SHIFT);
  if (modifiers & MOD_CONTROL) key_up(VK_CONTROL);
}

void mouse_move(Point screen) { input_mouse_move(screen); }
void mouse_down(MouseButton button, Point screen) { input_mouse_button(button, true, screen); }
void mouse_up(MouseButton button, Point screen) { input_mouse_button(button, false, screen); }

void click(Point screen, MouseButton button) {
  mouse_down(button, screen);
  mouse_up(button, screen);
}

void double_click(Point screen, MouseButton button) {
  click(screen, button);
  click(screen, button);
}

void wheel(int delta) { input_wheel(delta); }

Point client_point(Window* window, int x, int y) {
  Point p{x, y};
  client_to_screen(window, p);
  return p;
}

bool choose_menu_item(Window* window, std::uint16_t id) {
  if (!has_enabled_item(get_menu(window), id)) return false;
  return post_message(window, WM_COMMAND, id, 0);
}

bool click_close_box(Window* window) {
  if (!is_window(window) || get_parent(window) || !(get_window_long(window, GWL_STYLE) & WS_SYSMENU)) return false;
  Point p = get_cursor_pos();
  return post_message(window, WM_SYSCOMMAND, SC_CLOSE, make_lparam(p.x, p.y));
}

void minimize(Window* window) { show_window(window, SW_MINIMIZE); }
void maximize(Window* window) { show_window(window, SW_MAXIMIZE); }
void restore(Window* window) { show_window(window, SW_RESTORE); }
void activate(Window* window) { set_active_window(window); }

void activate_other_program() { other_program_activated(); }

std::uint32_t drag_over(const DataObject& data, Point screen, std::uint32_t allowed, std::uint32_t key_state) {
  return drag_move(&data, screen, key_state, allowed);
}

void drag_leave() { drag_cancel(); }

std::uint32_t drop(const DataObject& data, Point screen, std::uint32_t allowed, std::uint32_t key_state) {
  return drag_drop(&data, screen, key_state, allowed);
}

std::uint32_t drop_files(Point screen, const std::vector<std::u16string>& names, std::uint32_t allowed,
                         std::uint32_t key_state) {
  auto data = make_file_list_data(names);
  drag_move(data.get(), screen, key_state, allowed);
  drag_move(data.get(), screen, key_state, allowed);
  return drag_drop(data.get(), screen, key_state, allowed);
}

std::uint32_t drop_text(Point screen, const std::u16string& text, std::uint32_t allowed, std::uint32_t key_state) {
  auto data = make_text_data(text);
  drag_move(data.get(), screen, key_state, allowed);
  drag_move(data.get(), screen, key_state, allowed);
  return drag_drop(data.get(), screen, key_state, allowed);
}

WindowState FileDialogRecord::window(Window* w) const { return state_in(windows, w); }
WindowState MessageBoxRecord::window(Window* w) const { return state_in(windows, w); }

void on_file_dialog(FileDialogHandler handler) { state().file_dialog = std::move(handler); }
void on_message_box(MessageBoxHandler handler) { state().message_box = std::move(handler); }

void answer_file_dialogs(std::vector<std::optional<std::u16string>> answers) {
  auto queue = std::make_shared<std::deque<std::optional<std::u16string>>>(answers.begin(), answers.end());
  on_file_dialog([queue](const FileDialogRequest&) -> std::optional<std::u16string> {
    if (queue->empty()) return std::nullopt;
    auto answer = std::move(queue->front());
    queue->pop_front();
    return answer;
  });
}

const std::vector<FileDialogRecord>& file_dialogs() { return state().file_dialogs; }
const std::vector<MessageBoxRecord>& message_boxes() { return state().message_boxes; }

const Bitmap* surface(Window* window) { return window_surface(window); }
std::uint32_t pixel(Window* window, int x, int y) { return surface_pixel(window, x, y); }

}  // namespace native::headless
