// Which native input becomes which canvas event, in which order.
#include "gadget_fixture.h"

#include "ui/event_queue.h"

#include "native/backends/headless/headless.h"
#include "native/windowing/input_state.h"
#include "native/windowing/window.h"

namespace {

namespace headless = native::headless;
using native::MouseButton;

Seen canvas_event(std::int32_t type) { return Seen{.type = type}; }
Seen wheel_event(std::int32_t notches) { return Seen{.type = CANVAS_WHEEL, .wheel = notches}; }
Seen key_event(std::int32_t type, std::int32_t key) { return Seen{.type = type, .key = key}; }
Seen input_event(std::int32_t character) { return Seen{.type = CANVAS_INPUT, .input = character}; }

class CanvasInputTest : public GadgetTest {
 protected:
  void SetUp() override {
    GadgetTest::SetUp();
    ASSERT_NE(create_canvas(0, 0, 0, 512, 384), 0);
    canvas_ = gadget_handle(0);
    events();
  }
  // Gives the canvas the keyboard and forgets the focus event.
  void focus_canvas() {
    native::set_focus(canvas_);
    events();
  }
  native::Point at(int x, int y) const { return on_screen(canvas_, x, y); }

  native::Window* canvas_ = nullptr;
};

TEST_F(CanvasInputTest, WheelDeltasAccumulateIntoWholeNotches) {
  focus_canvas();
  headless::wheel(40);
  headless::wheel(40);
  headless::wheel(40);
  headless::wheel(-240);
  headless::wheel(100);  // held back until the rest of a notch arrives
  headless::wheel(-50);
  headless::wheel(-70);  // 100 - 50 - 70 = -20: still nothing
  headless::wheel(-100);
  EXPECT_EQ(events(), (std::vector<Seen>{wheel_event(1), wheel_event(-2), wheel_event(-1)}));
}

TEST_F(CanvasInputTest, KeysAreReportedButControlCharactersAreNotText) {
  focus_canvas();
  headless::press_key(native::VK_RETURN);
  headless::press_key('A', headless::MOD_SHIFT);
  EXPECT_EQ(events(), (std::vector<Seen>{
                          key_event(CANVAS_KEY_DOWN, native::VK_RETURN), key_event(CANVAS_KEY_UP, native::VK_RETURN),
                          key_event(CANVAS_KEY_DOWN, native::VK_SHIFT), key_event(CANVAS_KEY_DOWN, 'A'),
                          input_event(65), key_event(CANVAS_KEY_UP, 'A'), key_event(CANVAS_KEY_UP, native::VK_SHIFT)}));
}

TEST_F(CanvasInputTest, DoubleClickFollowsItsButtonDown) {
  headless::double_click(at(20, 20));
  EXPECT_EQ(events(), (std::vector<Seen>{canvas_event(CANVAS_MOUSE_ENTERED), canvas_event(CANVAS_LEFT_DOWN),
                                         canvas_event(CANVAS_LEFT_UP), canvas_event(CANVAS_LEFT_CLICK),
                                         canvas_event(CANVAS_LEFT_DOWN), canvas_event(CANVAS_LEFT_DOUBLE_CLICK),
                                         canvas_event(CANVAS_LEFT_UP), canvas_event(CANVAS_LEFT_CLICK)}));
}

TEST_F(CanvasInputTest, RightAndMiddleButtons) {
  headless::double_click(at(20, 20), MouseButton::right);
  headless::click(at(20, 20), MouseButton::middle);  // no click event for the middle button
  EXPECT_EQ(events(), (std::vector<Seen>{canvas_event(CANVAS_MOUSE_ENTERED), canvas_event(CANVAS_RIGHT_DOWN),
                                         canvas_event(CANVAS_RIGHT_UP), canvas_event(CANVAS_RIGHT_CLICK),
                                         canvas_event(CANVAS_RIGHT_DOWN), canvas_event(CANVAS_RIGHT_DOUBLE_CLICK),
                                         canvas_event(CANVAS_RIGHT_UP), canvas_event(CANVAS_RIGHT_CLICK),
                                         canvas_event(CANVAS_MIDDLE_DOWN), canvas_event(CANVAS_MIDDLE_UP)}));
}

std::vector<Seen> buttons_only(const std::vector<Seen>& seen) {
  std::vector<Seen> buttons;
  for (const Seen& s : seen)
    if (s.type != CANVAS_MOUSE_ENTERED && s.type != CANVAS_MOUSE_LEFT && s.type != CANVAS_MOUSE_MOVED)
      buttons.push_back(s);
  return buttons;
}

TEST_F(CanvasInputTest, ReleasingOutsideGivesButtonUpButNoClick) {
  headless::mouse_down(MouseButton::left, at(10, 10));
  pump();
  EXPECT_EQ(native::get_capture(), canvas_);
  headless::mouse_up(MouseButton::left, at(600, 10));  // beside the canvas, over its parent
  EXPECT_EQ(buttons_only(events()), (std::vector<Seen>{canvas_event(CANVAS_LEFT_DOWN), canvas_event(CANVAS_LEFT_UP)}));
  EXPECT_EQ(native::get_capture(), nullptr);
  // Pressed outside and released inside: the canvas never held the capture.
  headless::mouse_down(MouseButton::left, at(600, 10));
  headless::mouse_up(MouseButton::left, at(10, 10));
  EXPECT_EQ(buttons_only(events()), (std::vector<Seen>{canvas_event(CANVAS_LEFT_UP)}));
}

TEST_F(CanvasInputTest, FirstMoveEntersLaterMovesMoveLeavingLeaves) {
  std::vector<Seen> seen;
  for (native::Point p : {at(10, 10), at(11, 10), at(12, 10), at(600, 10), at(13, 10)}) {
    headless::mouse_move(p);
    for (const Seen& s : events()) seen.push_back(s);
  }
  EXPECT_EQ(seen, (std::vector<Seen>{canvas_event(CANVAS_MOUSE_ENTERED), canvas_event(CANVAS_MOUSE_MOVED),
                                     canvas_event(CANVAS_MOUSE_MOVED), canvas_event(CANVAS_MOUSE_LEFT),
                                     canvas_event(CANVAS_MOUSE_ENTERED)}));
}

TEST_F(CanvasInputTest, EventRecordsCarryPositionButtonsAndModifiers) {
  headless::key_down(native::VK_SHIFT);
  headless::mouse_move(at(30, 40));
  headless::mouse_down(MouseButton::right, at(30, 40));
  pump();
  ASSERT_EQ(take_event(), EVENT_GADGET);  // the shift key went to the focus window, not the canvas
  ASSERT_EQ(event_type(), CANVAS_MOUSE_ENTERED);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_X), 30);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_Y), 40);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_BUTTONS), 0);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_MODIFIERS), CANVAS_MODIFIER_SHIFT);
  ASSERT_EQ(take_event(), EVENT_GADGET);
  ASSERT_EQ(event_type(), CANVAS_RIGHT_DOWN);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_Y), 40);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_BUTTONS), CANVAS_BUTTON_RIGHT);
  // Another canvas's attributes do not read this canvas's event.
  ASSERT_NE(create_canvas(1, 520, 0, 50, 50), 0);
  EXPECT_EQ(get_canvas_attribute(1, CANVAS_ATTRIBUTE_X), 0);
  headless::mouse_up(MouseButton::right, at(30, 40));
  headless::key_up(native::VK_SHIFT);
  events();
}

TEST_F(CanvasInputTest, FocusComesAndGoes) {
  native::set_focus(canvas_);
  native::set_focus(parent());
  std::vector<Seen> seen = events();
  ASSERT_NE(create_canvas(1, 520, 0, 50, 50, CANVAS_KEYBOARD), 0);
  // A keyboard canvas takes the focus when a click brings its window back.
  headless::activate_other_program();
  events();
  headless::click(on_screen(gadget_handle(1), 5, 5));
  for (const Seen& s : events()) seen.push_back(s);
  EXPECT_EQ(seen, (std::vector<Seen>{
                      canvas_event(CANVAS_GOT_FOCUS), canvas_event(CANVAS_LOST_FOCUS),
                      Seen{.object = 1, .type = CANVAS_MOUSE_ENTERED}, Seen{.object = 1, .type = CANVAS_GOT_FOCUS},
                      Seen{.object = 1, .type = CANVAS_LEFT_DOWN}, Seen{.object = 1, .type = CANVAS_LEFT_UP},
                      Seen{.object = 1, .type = CANVAS_LEFT_CLICK}}));
  EXPECT_EQ(native::get_focus(), gadget_handle(1));
}

TEST_F(CanvasInputTest, ClipMouseConfinesWhileTheButtonIsHeld) {
  ASSERT_NE(create_canvas(1, 520, 10, 100, 80, CANVAS_CLIP_MOUSE), 0);
  native::Window* clipped = gadget_handle(1);
  const native::Point corner = on_screen(clipped, 0, 0);
  const native::Rect whole_screen = native::get_clip_cursor();

  headless::mouse_down(MouseButton::left, on_screen(clipped, 50, 40));
  pump();
  EXPECT_EQ(native::get_capture(), clipped);
  native::Rect clip = native::get_clip_cursor();
  EXPECT_EQ((std::vector<int>{clip.left, clip.top, clip.right, clip.bottom}),
            (std::vector<int>{corner.x, corner.y, corner.x + 100, corner.y + 80}));
  EXPECT_EQ(get_canvas_attribute(1, CANVAS_ATTRIBUTE_CLIP), 1);
  headless::mouse_move({corner.x + 500, corner.y + 500});
  EXPECT_EQ(native::get_cursor_pos(), (native::Point{corner.x + 99, corner.y + 79}));

  // A second button neither captures again nor ends the confinement.
  headless::mouse_down(MouseButton::right, on_screen(clipped, 10, 10));
  headless::mouse_up(MouseButton::left, on_screen(clipped, 10, 10));
  pump();
  EXPECT_EQ(get_canvas_attribute(1, CANVAS_ATTRIBUTE_CLIP), 1);
  headless::mouse_up(MouseButton::right, on_screen(clipped, 10, 10));
  pump();
  clip = native::get_clip_cursor();
  EXPECT_EQ((std::vector<int>{clip.left, clip.top, clip.right, clip.bottom}),
            (std::vector<int>{whole_screen.left, whole_screen.top, whole_screen.right, whole_screen.bottom}));
  EXPECT_EQ(native::get_capture(), nullptr);
  EXPECT_EQ(get_canvas_attribute(1, CANVAS_ATTRIBUTE_CLIP), 0);

  // Without the flag the button captures but leaves the cursor free.
  headless::mouse_down(MouseButton::left, at(10, 10));
  pump();
  EXPECT_EQ(native::get_capture(), canvas_);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CLIP), 0);
  headless::mouse_up(MouseButton::left, at(10, 10));
  pump();
  EXPECT_EQ(native::get_capture(), nullptr);
}

TEST_F(CanvasInputTest, FreeingTheConfiningCanvasFreesTheCursor) {
  const native::Rect whole_screen = native::get_clip_cursor();
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CLIP, 1);
  EXPECT_EQ(native::get_capture(), canvas_);
  EXPECT_NE(native::get_clip_cursor().right, whole_screen.right);
  free_gadget(0);
  EXPECT_EQ(native::get_clip_cursor().right, whole_screen.right);
}

}  // namespace
