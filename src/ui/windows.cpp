#include "ui/windows.h"

#include "ui/drop_target.h"
#include "ui/event_callbacks.h"
#include "ui/event_queue.h"
#include "ui/event_wait.h"
#include "ui/gadget_list.h"
#include "ui/window_procedure.h"

#include "native/windowing/accelerator.h"
#include "native/windowing/input_state.h"
#include "native/windowing/window.h"
#include "runtime/general_heap.h"

#include <algorithm>
#include <string>

namespace {

ObjectTable* table = nullptr;
GadgetCommandHandler gadget_handler = nullptr;
DropTargetRelease drop_release = nullptr;
WindowCallback thread_callback = nullptr;

constexpr std::int32_t WINDOW_TABLE_STEP = 16;
constexpr std::uint32_t TITLE_BAR = 0x00C00000;
constexpr std::uint32_t TOOL_CLEARED_STYLES = 0x21030000;
constexpr std::uint32_t RUNTIME_FLAG_BITS = 0x7;

// What the window layer keeps besides its table.
struct WindowLayerState {
  native::Cursor* arrow;
};
WindowLayerState* layer_state = nullptr;

std::u16string class_name_for(ObjectId number) {
  std::string name = "WindowClass_" + std::to_string(number);
  return {name.begin(), name.end()};
}

void centre(native::Window* window, std::uint32_t flags, native::Window* parent) {
  native::Rect outer = native::get_window_rect(window);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  int x = 0, y = 0;
  native::Window* reference = parent ? parent : native::get_active_window();
  if ((flags & WINDOW_CENTER_SCREEN) || !reference) {
    // Without a parent or an active window the screen is the only reference.
    int screen_width = native::get_system_metrics(native::SM_CXSCREEN);
    int screen_height = native::get_system_metrics(native::SM_CYSCREEN);
    x = (screen_width - std::min(screen_width, width)) / 2;
    y = (screen_height - std::min(screen_height, height)) / 2;
  } else {
    native::Rect r = native::get_window_rect(reference);
    x = std::max(0, r.left + (r.right - r.left - width) / 2);
    y = std::max(0, r.top + (r.bottom - r.top - height) / 2);
  }
  native::set_window_pos(window, nullptr, x, y, 0, 0,
                         native::SWP_NOSIZE | native::SWP_NOZORDER | native::SWP_NOACTIVATE);
}

int show_command(std::uint32_t flags) {
  bool no_activate = flags & WINDOW_NO_ACTIVATE;
  if (flags & WINDOW_MAXIMIZED) return no_activate ? native::SW_SHOWNA : native::SW_MAXIMIZE;
  if (flags & WINDOW_MINIMIZED) return no_activate ? native::SW_SHOWMINNOACTIVE : native::SW_SHOWMINIMIZED;
  return no_activate ? native::SW_SHOWNOACTIVATE : native::SW_SHOWNORMAL;
}

bool make_focus_accelerators(WindowRecord* record) {
  auto* entries = static_cast<native::Accel*>(general_alloc(2 * sizeof(native::Accel)));
  if (!entries) return false;
  entries[0] = {native::FVIRTKEY | native::FNOINVERT, native::VK_TAB, FOCUS_NEXT_COMMAND};
  entries[1] = {native::FVIRTKEY | native::FNOINVERT | native::FSHIFT, native::VK_TAB, FOCUS_PREVIOUS_COMMAND};
  record->accelerators = entries;
  record->accelerator_count = 2;
  record->accelerator_table = native::create_accelerator_table(entries, 2);
  return true;
}

std::intptr_t release_window(ObjectId number) { return free_window(number); }

}  // namespace

void init_windows() {
  table = create_table(sizeof(WindowRecord), WINDOW_TABLE_STEP, release_window);
  layer_state = static_cast<WindowLayerState*>(allocate_state_block(sizeof(WindowLayerState), nullptr, nullptr));
  init_message_state();
  if (layer_state) layer_state->arrow = native::load_cursor(native::IDC_ARROW);
}

void shutdown_windows() { free_window(OBJECT_ANY); }

ObjectTable* window_table() { return table; }

WindowRecord* window_record(ObjectId number) { return static_cast<WindowRecord*>(get_object(table, number)); }

ObjectId open_window(ObjectId number, int x, int y, int inner_width, int inner_height, std::u16string_view title,
                     std::uint32_t flags, native::Window* parent) {
  auto* record = static_cast<WindowRecord*>(allocate_object(table, number));
  if (!record) return 0;
  ObjectId id = number == OBJECT_ANY ? handle_of(record) : number;

  std::u16string class_name = class_name_for(id);
  native::WindowClassInfo info;
  info.style = native::CS_DBLCLKS;
  info.procedure = window_class_procedure;
  info.background = native::COLOR_BTNFACE + 1;
  info.cursor = layer_state ? layer_state->arrow : nullptr;
  info.name = class_name;
  native::register_class(info);  // an existing class is fine

  bool use_gadgets = !(flags & WINDOW_NO_GADGET_LIST);
  flags &= ~WINDOW_NO_GADGET_LIST;
  if ((flags & ~(WINDOW_CENTER_SCREEN | WINDOW_CENTER_PARENT | WINDOW_INVISIBLE)) == 0) flags |= TITLE_BAR;
  bool visible = !(flags & WINDOW_INVISIBLE);
  flags &= ~WINDOW_INVISIBLE;
  std::uint32_t ex_style = 0;
  if (flags & WINDOW_TOOL) {
    flags = (flags & ~TOOL_CLEARED_STYLES) | TITLE_BAR;
    ex_style = native::WS_EX_TOOLWINDOW;
  }

  native::Rect outer{0, 0, inner_width, inner_height};
  native::adjust_window_rect_ex(outer, flags & ~RUNTIME_FLAG_BITS, false, ex_style);
  bool centred = flags & (WINDOW_CENTER_SCREEN | WINDOW_CENTER_PARENT);
  if (x == IGNORE_COORDINATE || (y == IGNORE_COORDINATE && !centred)) x = y = native::CW_USEDEFAULT;

  std::uint32_t style = flags & ~(RUNTIME_FLAG_BITS | WINDOW_NO_ACTIVATE);
  native::Window* window = native::create_window(ex_style, class_name, title, style, x, y, outer.right - outer.left,
                                                 outer.bottom - outer.top, parent, nullptr, 0);
  if (!window) {
    native::unregister_class(class_name);
    free_object(table, id);
    return 0;
  }
  record->handle = window;
  if (centred) centre(window, flags, parent);
  if (visible) native::show_window(window, show_command(flags));

  record->minimised_or_maximised = (flags & (WINDOW_MINIMIZED | WINDOW_MAXIMIZED)) ? 1 : 0;
  make_focus_accelerators(record);
  if (use_gadgets) use_gadget_list(window);
  // Last of all: until now the window procedure finds no record, so nothing
  // that happened during creation is reported as this window's.
  native::set_prop(window, WINDOW_ID_PROPERTY, reinterpret_cast<void*>(id + 1));
  return number == OBJECT_ANY ? id : reinterpret_cast<ObjectId>(window);
}

std::intptr_t free_window(ObjectId number) {
  if (number == OBJECT_ANY) {
    release_all(table);
    return 1;
  }
  WindowRecord* record = window_record(number);
  if (!record) return 0;
  native::Window* window = record->handle;
  native::Window* owner = native::get_window(window, native::GW_OWNER);
  if (owner && !record->mdi_client) native::set_active_window(owner);
  native::remove_prop(window, WINDOW_ID_PROPERTY);
  if (drop_release) drop_release(window);
  native::destroy_window(window);
  native::unregister_class(class_name_for(number));
  general_free(record->accelerators);
  native::destroy_accelerator_table(record->accelerator_table);
  if (record->background) native::delete_object(record->background);
  purge_window_events(number);
  unbind_window_callbacks(number);
  free_object(table, number);
  return 1;
}

native::Window* window_handle(ObjectId number) {
  WindowRecord* record = window_record(number);
  return record ? record->handle : nullptr;
}

std::intptr_t set_window_stay_on_top(ObjectId number, bool on) {
  WindowRecord* record = window_record(number);
  if (!record || record->mdi_client) return 0;
  return native::set_window_pos(record->handle, on ? native::HWND_TOPMOST : native::HWND_NOTOPMOST, 0, 0, 0, 0,
                                native::SWP_NOMOVE | native::SWP_NOSIZE);
}

void enable_window_drop(ObjectId number, std::int32_t format, std::uint32_t actions, std::uint32_t private_key) {
  if (WindowRecord* record = window_record(number))
    enable_native_window_drop(record->handle, number, format, actions, private_key);
}

void set_gadget_command_handler(GadgetCommandHandler handler) { gadget_handler = handler; }
GadgetCommandHandler gadget_command_handler() { return gadget_handler; }
void set_drop_target_release(DropTargetRelease release) { drop_release = release; }
DropTargetRelease drop_target_release() { return drop_release; }
void set_thread_message_callback(WindowCallback callback) { thread_callback = callback; }
WindowCallback thread_message_callback() { return thread_callback; }

ObjectId window_number_of(native::Window* window) {
  for (native::Window* w = window; w; w = native::get_parent(w)) {
    auto value = reinterpret_cast<ObjectId>(native::get_prop(w, WINDOW_ID_PROPERTY));
    if (value) return value - 1;
  }
  return -1;
}
