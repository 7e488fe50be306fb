#include "ui/window_procedure.h"

#include "ui/event_queue.h"
#include "ui/keyboard_navigation.h"
#include "ui/windows.h"

#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/messages.h"
#include "native/windowing/window.h"

namespace {

// The header every notification message points to.
struct NotifyHeader {
  native::Window* from;
  std::uintptr_t id;
  std::uint32_t code;
};

constexpr std::u16string_view FOCUS_PROPERTY = u"VX_Focus";
constexpr std::uint32_t GADGET_MESSAGE = 13120;
constexpr std::int32_t TOOLBAR_CONTROL_ID = -10000;

bool carries_number(native::Window* window) { return native::get_prop(window, WINDOW_ID_PROPERTY) != nullptr; }

struct Target {
  native::Window* window;
  ObjectId number;  // -1 without a record
  WindowRecord* record;
};

void post(std::int32_t code, ObjectId object, const Target& t) { post_event(code, object, t.number, 0); }

std::intptr_t on_size(const Target& t, std::uintptr_t kind) {
  if (!carries_number(t.window) || !t.record) return 1;
  switch (kind) {
    case native::SIZE_RESTORED:
      if (t.record->minimised_or_maximised) {
        t.record->minimised_or_maximised = 0;
        post(EVENT_RESTORE_WINDOW, 0, t);
      }
      post(EVENT_SIZE_WINDOW, 0, t);
      break;
    case native::SIZE_MINIMIZED:
      t.record->minimised_or_maximised = 1;
      post(EVENT_MINIMIZE_WINDOW, 0, t);
      break;
    case native::SIZE_MAXIMIZED:
      t.record->minimised_or_maximised = 1;
      post(EVENT_MAXIMIZE_WINDOW, 0, t);
      post(EVENT_SIZE_WINDOW, 0, t);
      break;
    default: post(EVENT_SIZE_WINDOW, 0, t); break;
  }
  return 0;
}

std::intptr_t on_activate(const Target& t, std::uintptr_t wparam) {
  if (native::low_word(wparam) != native::WA_INACTIVE) {
    if (auto* focus = static_cast<native::Window*>(native::get_prop(t.window, FOCUS_PROPERTY)))
      native::set_focus(focus);
    post(EVENT_ACTIVATE_WINDOW, 0, t);
  } else {
    native::set_prop(t.window, FOCUS_PROPERTY, native::get_focus());
    hide_keyboard_cues(t.window);
    post(EVENT_DEACTIVATE_WINDOW, 0, t);
  }
  return 1;  // default activation would move the focus again
}

std::intptr_t on_erase(const Target& t, std::uintptr_t wparam) {
  post(EVENT_REPAINT, 0, t);
  auto* dc = reinterpret_cast<native::DeviceContext*>(wparam);
  if (t.record && t.record->background) {
    native::fill_rect(dc, native::get_client_rect(t.window), t.record->background);
    return 1;
  }
  if (t.record && t.window == t.record->handle && t.record->erase_callback)
    return t.record->erase_callback(dc, t.window);
  return NOT_HANDLED;
}

std::intptr_t on_min_max_info(const Target& t, std::intptr_t lparam) {
  if (!t.record) return 0;
  auto* info = reinterpret_cast<native::MinMaxInfo*>(lparam);
  const WindowRecord& r = *t.record;
  if (r.min_track_width) info->min_track_size.x = r.min_track_width;
  if (r.min_track_height) info->min_track_size.y = r.min_track_height;
  if (r.max_track_width) info->max_track_size.x = r.max_track_width;
  if (r.max_track_height) info->max_track_size.y = r.max_track_height;
  if (!r.min_track_width && (native::get_window_long(t.window, native::GWL_EXSTYLE) & native::WS_EX_TOOLWINDOW))
    info->min_track_size.x = 1;
  return 0;
}

// The control a command-like message comes from.
native::Window* control_of(std::uint32_t message, std::intptr_t lparam) {
  if (message == native::WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NotifyHeader*>(lparam);
    return header ? header->from : nullptr;
  }
  return reinterpret_cast<native::Window*>(lparam);
}

std::intptr_t on_command(const Target& t, std::uintptr_t wparam, std::intptr_t lparam) {
  if (lparam != 0) {
    auto* control = reinterpret_cast<native::Window*>(lparam);
    auto control_id = static_cast<std::int32_t>(native::get_window_long(control, native::GWL_ID));
    if (control_id == TOOLBAR_CONTROL_ID)
      post(EVENT_MENU, native::low_word(wparam), t);
    else
      post_event(EVENT_GADGET, control_id, t.number, native::high_word(wparam));
  } else if (native::high_word(wparam) == 0) {
    post(EVENT_MENU, static_cast<ObjectId>(wparam), t);
  } else if (native::high_word(wparam) == 1) {
    if (native::low_word(wparam) == FOCUS_NEXT_COMMAND)
      move_focus(true);
    else if (native::low_word(wparam) == FOCUS_PREVIOUS_COMMAND)
      move_focus(false);
    else
      post(EVENT_MENU, native::low_word(wparam), t);
  }
  return 0;
}

std::intptr_t on_tray(const Target& t, std::uintptr_t wparam, std::intptr_t lparam) {
  std::int32_t type = -1;
  switch (lparam) {
    case native::WM_LBUTTONDOWN: type = 0; break;
    case native::WM_RBUTTONDOWN: type = 1; break;
    case native::WM_LBUTTONDBLCLK: type = 2; break;
    case native::WM_RBUTTONDBLCLK: type = 3; break;
    default: break;
  }
  if (type >= 0) post_event(EVENT_SYSTRAY, static_cast<ObjectId>(wparam), t.number, type);
  native::post_message(t.window, native::WM_NULL, 0, 0);  // wakes the event wait
  return 0;
}

}  // namespace

std::intptr_t window_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  Target t{window, window_number_of(window), nullptr};
  if (t.number != -1) t.record = window_record(t.number);
  WindowCallback callback =
      t.record && t.record->message_callback ? t.record->message_callback : thread_message_callback();
  if (callback) {
    std::intptr_t result = callback(window, message, wparam, lparam);
    if (result != CALLBACK_DEFAULT) return result;
  }
  bool own_window = t.record && t.record->handle == window;

  switch (message) {
    case native::WM_MOVE:
      if (own_window) post(EVENT_MOVE_WINDOW, t.number, t);
      return 0;
    case native::WM_SIZE: return on_size(t, wparam);
    case native::WM_ACTIVATE: return on_activate(t, wparam);
    case native::WM_CLOSE:
      // The program decides whether the window goes.
      if (own_window) post(EVENT_CLOSE_WINDOW, t.number, t);
      return 0;
    case native::WM_ERASEBKGND: return on_erase(t, wparam);
    case native::WM_SYSCOLORCHANGE:
      if (!(t.record && t.record->mdi_client))
        native::enum_child_windows(
            window,
            [](native::Window* child, std::intptr_t) {
              native::send_message(child, native::WM_SYSCOLORCHANGE, 0, 0);
              return true;
            },
            0);
      return NOT_HANDLED;
    case native::WM_GETMINMAXINFO: return on_min_max_info(t, lparam);
    case native::WM_COMMAND:
    case native::WM_NOTIFY:
    case native::WM_HSCROLL:
    case native::WM_VSCROLL:
    case native::WM_CTLCOLOREDIT:
    case native::WM_CTLCOLORLISTBOX:
    case native::WM_CTLCOLORBTN:
    case native::WM_CTLCOLORSTATIC:
    case GADGET_MESSAGE: {
      std::intptr_t result = 0;
      GadgetCommandHandler handler = gadget_command_handler();
      if (handler && handler(control_of(message, lparam), message, wparam, lparam, result)) return result;
      return message == native::WM_COMMAND ? on_command(t, wparam, lparam) : NOT_HANDLED;
    }
    case native::WM_TIMER:
      if (t.record) post(EVENT_TIMER, static_cast<ObjectId>(wparam), t);
      return 0;
    case native::WM_LBUTTONUP: post(EVENT_LEFT_CLICK, 0, t); return 0;
    case native::WM_LBUTTONDBLCLK: post(EVENT_LEFT_DOUBLE_CLICK, 0, t); return 0;
    case native::WM_RBUTTONUP: post(EVENT_RIGHT_CLICK, 0, t); return 0;
    case TRAY_NOTIFY_MESSAGE: return on_tray(t, wparam, lparam);
    case native::WM_NCDESTROY: native::remove_prop(window, FOCUS_PROPERTY); return 1;
    default: return NOT_HANDLED;
  }
}

std::intptr_t window_class_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam) {
  std::intptr_t result = window_procedure(window, message, wparam, lparam);
  return result == NOT_HANDLED ? native::def_window_proc(window, message, wparam, lparam) : result;
}
