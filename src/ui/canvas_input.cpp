// The canvas window procedure: paint messages show the backing store; mouse,
// wheel, keyboard and focus messages become EVENT_GADGET events, each with a
// CanvasEventData record from the canvas event pool.
#include "ui/canvas_state.h"

#include "ui/event_queue.h"
#include "ui/windows.h"

#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/paint.h"
#include "native/windowing/window.h"
#include "runtime/record_pool.h"

namespace {

constexpr std::int32_t WHEEL_DELTA = 120;
constexpr std::uint32_t FIRST_PRINTABLE = 32;

void release_event_data(void* data) {
  if (CanvasState* s = canvas_state()) pool_free(s->event_pool, data);
}

bool is_down(int virtual_key) { return native::get_key_state(virtual_key) < 0; }

std::int32_t buttons_down() {
  return (is_down(native::VK_LBUTTON) ? CANVAS_BUTTON_LEFT : 0) |
         (is_down(native::VK_RBUTTON) ? CANVAS_BUTTON_RIGHT : 0) |
         (is_down(native::VK_MBUTTON) ? CANVAS_BUTTON_MIDDLE : 0);
}

std::int32_t modifiers_down() {
  return (is_down(native::VK_SHIFT) ? CANVAS_MODIFIER_SHIFT : 0) |
         (is_down(native::VK_MENU) ? CANVAS_MODIFIER_ALT : 0) |
         (is_down(native::VK_CONTROL) ? CANVAS_MODIFIER_CONTROL : 0);
}

void post(native::Window* window, ObjectId number, std::int32_t type, std::int32_t key = 0, std::int32_t wheel = 0,
          std::int32_t input = 0) {
  auto* data = static_cast<CanvasEventData*>(pool_alloc(canvas_state()->event_pool));
  if (data) {
    std::uint32_t position = native::get_message_pos();
    native::Point point{native::x_of(position), native::y_of(position)};
    native::screen_to_client(window, point);
    *data = {point.x, point.y, buttons_down(), key, modifiers_down(), wheel, input};
  }
  // Without a record the event still tells what happened.
  post_event(EVENT_GADGET, number, window_number_of(window), type, data, data ? release_event_data : nullptr);
}

struct Button {
  std::int32_t bit;
  std::int32_t down_type;
  std::int32_t up_type;
  std::int32_t click_type;  // -1: no click
  std::int32_t double_click_type;
};

constexpr Button LEFT{CANVAS_BUTTON_LEFT, CANVAS_LEFT_DOWN, CANVAS_LEFT_UP, CANVAS_LEFT_CLICK,
                      CANVAS_LEFT_DOUBLE_CLICK};
constexpr Button RIGHT{CANVAS_BUTTON_RIGHT, CANVAS_RIGHT_DOWN, CANVAS_RIGHT_UP, CANVAS_RIGHT_CLICK,
                       CANVAS_RIGHT_DOUBLE_CLICK};
constexpr Button MIDDLE{CANVAS_BUTTON_MIDDLE, CANVAS_MIDDLE_DOWN, CANVAS_MIDDLE_UP, -1, -1};

void button_down(GadgetRecord* record, ObjectId number, const Button& button, bool double_click) {
  native::Window* window = record->handle;
  // Only the first button of a press captures, so a second one cannot move
  // the capture or the confinement.
  if (buttons_down() == button.bit) {
    native::set_capture(window);
    if (record->canvas.flags & CANVAS_CLIP_MOUSE) confine_cursor(window);
  }
  post(window, number, button.down_type);
  if (double_click && button.double_click_type >= 0) post(window, number, button.double_click_type);
}

void button_up(GadgetRecord* record, ObjectId number, const Button& button, std::intptr_t lparam) {
  native::Window* window = record->handle;
  bool click = false;
  if (button.click_type >= 0) {
    int x = native::x_of(static_cast<std::uintptr_t>(lparam));
    int y = native::y_of(static_cast<std::uintptr_t>(lparam));
    native::Rect outer = native::get_window_rect(window);
    click = x >= 0 && y >= 0 && x < outer.right - outer.left && y < outer.bottom - outer.top &&
            native::get_capture() == window;
  }
  if (buttons_down() == 0) {
    if (record->canvas.flags & CANVAS_CLIP_MOUSE)
      release_confinement(window);
    else
      native::release_capture();
  }
  post(window, number, button.up_type);
  if (click) post(window, number, button.click_type);
}

void wheel_turned(native::Window* window, ObjectId number, std::uintptr_t wparam) {
  CanvasState* s = canvas_state();
  s->wheel_accumulator += static_cast<std::int16_t>(native::high_word(wparam));
  std::int32_t notches = s->wheel_accumulator / WHEEL_DELTA;
  if (notches == 0) return;
  s->wheel_accumulator -= notches * WHEEL_DELTA;
  post(window, number, CANVAS_WHEEL, 0, notches);
}

void mouse_moved(GadgetRecord* record, ObjectId number) {
  std::uint32_t& state = record->canvas.cursor_state;
  if (state & CURSOR_INSIDE) {
    post(record->handle, number, CANVAS_MOUSE_MOVED);
    return;
  }
  state |= CURSOR_INSIDE;
  native::track_mouse_event(native::TME_LEAVE, record->handle);
  post(record->handle, number, CANVAS_MOUSE_ENTERED);
}

}  // namespace

std::intptr_t canvas_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  ObjectId number = 0;
  GadgetRecord* record = canvas_of(window, number);
  if (!record) return native::def_window_proc(window, message, wparam, lparam);
  auto* given_dc = reinterpret_cast<native::DeviceContext*>(wparam);
  switch (message) {
    case native::WM_PAINT: {
      native::PaintStruct paint{};
      if (native::DeviceContext* dc = native::begin_paint(window, paint)) paint_canvas(record, window, dc);
      native::end_paint(window, paint);
      return 0;
    }
    case native::WM_ERASEBKGND: paint_canvas(record, window, given_dc); return 1;
    case native::WM_PRINT:
    case native::WM_PRINTCLIENT: paint_canvas(record, window, given_dc); return 0;
    case native::WM_ENABLE:
      repaint_canvas(record);
      if (!wparam) release_confinement(window);
      return 0;
    case native::WM_SETFOCUS:
    case native::WM_KILLFOCUS:
      post(window, number, message == native::WM_SETFOCUS ? CANVAS_GOT_FOCUS : CANVAS_LOST_FOCUS);
      native::redraw_window(window, nullptr, native::RDW_INVALIDATE);
      return 0;
    case native::WM_SETCURSOR: native::set_cursor(record->canvas.cursor); return 1;
    case native::WM_MOUSEACTIVATE:
      if (!(record->canvas.flags & CANVAS_KEYBOARD)) break;
      native::set_focus(window);
      native::redraw_window(window, nullptr, native::RDW_INVALIDATE);
      return native::MA_NOACTIVATE;
    case native::WM_MOUSEMOVE: mouse_moved(record, number); return 0;
    case native::WM_MOUSELEAVE:
      record->canvas.cursor_state &= ~CURSOR_INSIDE;
      post(window, number, CANVAS_MOUSE_LEFT);
      return 0;
    case native::WM_LBUTTONDOWN:
    case native::WM_LBUTTONDBLCLK: button_down(record, number, LEFT, message == native::WM_LBUTTONDBLCLK); return 0;
    case native::WM_RBUTTONDOWN:
    case native::WM_RBUTTONDBLCLK: button_down(record, number, RIGHT, message == native::WM_RBUTTONDBLCLK); return 0;
    case native::WM_MBUTTONDOWN:
    case native::WM_MBUTTONDBLCLK: button_down(record, number, MIDDLE, false); return 0;
    case native::WM_LBUTTONUP: button_up(record, number, LEFT, lparam); return 0;
    case native::WM_RBUTTONUP: button_up(record, number, RIGHT, lparam); return 0;
    case native::WM_MBUTTONUP: button_up(record, number, MIDDLE, lparam); return 0;
    case native::WM_MOUSEWHEEL: wheel_turned(window, number, wparam); return 0;
    case native::WM_KEYDOWN:
    case native::WM_KEYUP:
      post(window, number, message == native::WM_KEYDOWN ? CANVAS_KEY_DOWN : CANVAS_KEY_UP,
           static_cast<std::int32_t>(wparam));
      return 0;
    case native::WM_CHAR:
      // Control characters such as Return and Tab are not text.
      if (wparam >= FIRST_PRINTABLE) post(window, number, CANVAS_INPUT, 0, 0, static_cast<std::int32_t>(wparam));
      return 0;
    default: break;
  }
  return native::def_window_proc(window, message, wparam, lparam);
}
