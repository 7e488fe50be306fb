#include "ui/event_wait.h"

#include "ui/event_queue.h"
#include "ui/keyboard_navigation.h"
#include "ui/keyboard_shortcuts.h"

#include "native/windowing/accelerator.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/window.h"
#include "runtime/general_heap.h"
#include "runtime/object_table.h"

namespace {

constexpr std::u16string_view POSTED_EVENT_CLASS = u"PostEventClass";
constexpr std::uint32_t HIDDEN_WINDOW_STYLE = 0x00C00000;

native::Window* hidden_window = nullptr;
std::uint32_t posted_message = 0;

std::intptr_t posted_event_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam) {
  if (message == posted_message && posted_message != 0) {
    if (auto* record = reinterpret_cast<PostedEventRecord*>(lparam)) {
      post_event(record->event, record->object, record->window, record->type, record->data, nullptr);
      general_free(record);
    }
  }
  return native::def_window_proc(window, message, wparam, lparam);
}

bool fetch(native::Message& message, std::int32_t timeout_ms) {
  if (timeout_ms < 0) {
    native::get_message(message);  // WM_QUIT is a message like any other here
    return true;
  }
  constexpr std::uint32_t remove = native::PM_REMOVE | native::PM_NOYIELD;
  if (native::peek_message(message, nullptr, 0, 0, remove)) return true;
  if (timeout_ms == 0) return false;
  std::uint32_t woke = native::msg_wait_for_multiple_objects(static_cast<std::uint32_t>(timeout_ms),
                                                             native::QS_ALLINPUT | native::QS_ALLPOSTMESSAGE);
  if (woke == native::WAIT_TIMEOUT) return false;
  return native::peek_message(message, nullptr, 0, 0, remove);
}

}  // namespace

void init_events() {
  native::WindowClassInfo info;
  info.style = native::CS_DBLCLKS;
  info.procedure = posted_event_procedure;
  info.background = native::COLOR_BTNFACE + 1;
  info.name = POSTED_EVENT_CLASS;
  native::register_class(info);
  hidden_window =
      native::create_window(0, POSTED_EVENT_CLASS, u"", HIDDEN_WINDOW_STYLE, 0, 0, 1, 1, nullptr, nullptr, 0);
  posted_message = native::register_window_message(u"VX_PostEventMessage");
  init_event_queue();
}

void shutdown_events() {
  native::destroy_window(hidden_window);
  hidden_window = nullptr;
  native::unregister_class(POSTED_EVENT_CLASS);
  shutdown_event_queue();
}

std::uint32_t posted_event_message() { return posted_message; }
native::Window* posted_event_window() { return hidden_window; }

std::int32_t wait_window_event(std::int32_t timeout_ms) {
  if (std::int32_t code = take_event()) {
    forget_message();
    return code;
  }
  native::Message message;
  if (!fetch(message, timeout_ms)) return 0;
  native::Window* active = native::get_active_window();
  native::AccelTable* table = choose_accelerator_table();
  if (table && native::translate_accelerator(active, table, message)) {
    show_keyboard_cues(active);
  } else {
    native::translate_message(message);
    native::dispatch_message(message);
  }
  remember_message(message.wparam, message.lparam);
  return static_cast<std::int32_t>(message.message);
}

namespace {
MessageState* state = nullptr;
}  // namespace

void init_message_state() {
  state = static_cast<MessageState*>(allocate_state_block(sizeof(MessageState), nullptr, nullptr));
}

MessageState* message_state() { return state; }

void remember_message(std::uintptr_t wparam, std::intptr_t lparam) {
  if (state) *state = {wparam, lparam, wparam, lparam};
}

void forget_message() { remember_message(0, 0); }
