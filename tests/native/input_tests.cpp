#include "window_test_support.h"

#include "native/windowing/input_events.h"
#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"

namespace {

using native::Window;
using wintest::Record;
namespace hl = native::headless;

class Input : public wintest::WindowTest {
 protected:
  // A visible, active top-level window with two children side by side.
  void SetUp() override {
    WindowTest::SetUp();
    top = make_window(200, 100, native::WS_POPUP | native::WS_VISIBLE);
    native::move_window(top, 100, 100, 200, 100, false);
    left = make_child(top, 0, 0, 100, 100);
    right = make_child(top, 100, 0, 100, 100, native::WS_CHILD | native::WS_VISIBLE, u"Plain");
    pump();
  }
  Window* top = nullptr;
  Window* left = nullptr;
  Window* right = nullptr;
};

TEST_F(Input, KeyStateIsThatOfTheMessageBeingProcessed) {
  hl::key_down(native::VK_SHIFT);
  hl::key_down('A');
  // The "now" state moved at once; the per-message state waits for the fetch.
  EXPECT_LT(native::get_async_key_state(native::VK_SHIFT), 0);
  EXPECT_GE(native::get_key_state(native::VK_SHIFT), 0);
  native::Message m;
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ(m.wparam, native::VK_SHIFT);
  EXPECT_LT(native::get_key_state(native::VK_SHIFT), 0);
  EXPECT_LT(native::get_key_state(native::VK_LSHIFT), 0);
  EXPECT_GE(native::get_key_state('A'), 0);
  hl::key_down('A');  // auto-repeat
  hl::key_up('A');
  hl::key_up(native::VK_SHIFT);
  EXPECT_GE(native::get_async_key_state('A'), 0);
  record_only({native::WM_KEYDOWN, native::WM_KEYUP});
  pump();
  std::vector<Record> expected = {
      {top, native::WM_KEYDOWN, 'A', 1},
      {top, native::WM_KEYDOWN, 'A', 1 | 1 << 30},
      {top, native::WM_KEYUP, 'A', static_cast<std::intptr_t>(1u | 1u << 30 | 1u << 31)},
      {top, native::WM_KEYUP, native::VK_SHIFT, static_cast<std::intptr_t>(1u | 1u << 30 | 1u << 31)}};
  EXPECT_EQ(take_log(), expected);
  EXPECT_GE(native::get_key_state(native::VK_SHIFT), 0);
}

TEST_F(Input, KeysGoToTheFocusWindowAndAltMakesSystemKeys) {
  native::set_focus(left);
  record_only({native::WM_KEYDOWN, native::WM_SYSKEYDOWN});
  hl::press_key('B');
  hl::press_key('C', hl::MOD_ALT);
  hl::press_key('D', hl::MOD_ALT | hl::MOD_CONTROL);  // Control with Alt types plain keys
  pump();
  std::vector<Record> expected = {{left, native::WM_KEYDOWN, 'B', 1},
                                  {left, native::WM_SYSKEYDOWN, native::VK_MENU, 1 | 1 << 29},
                                  {left, native::WM_SYSKEYDOWN, 'C', 1 | 1 << 29},
                                  {left, native::WM_KEYDOWN, native::VK_CONTROL, 1},
                                  {left, native::WM_KEYDOWN, native::VK_MENU, 1 | 1 << 29},
                                  {left, native::WM_KEYDOWN, 'D', 1 | 1 << 29}};
  EXPECT_EQ(take_log(), expected);
  hl::activate_other_program();
  hl::press_key('E');
  EXPECT_EQ(native::queued_message_count(), 0u);  // nothing of ours has the keyboard
  EXPECT_LT(native::get_async_key_state('E'), 1);
}

TEST_F(Input, DoubleClicksOnlyForClassesThatAskForThem) {
  record_only({native::WM_LBUTTONDOWN, native::WM_LBUTTONDBLCLK, native::WM_RBUTTONDOWN});
  native::Point in_left = hl::client_point(left, 10, 10);
  native::Point in_right = hl::client_point(right, 10, 10);
  hl::double_click(in_left);
  hl::click(in_left);  // a third press starts again
  hl::double_click(in_right);
  hl::click(in_left, native::MouseButton::right);
  hl::click(hl::client_point(left, 40, 40));  // too far from the last press
  pump();
  std::intptr_t at = native::make_lparam(10, 10);
  std::vector<Record> expected = {{left, native::WM_LBUTTONDOWN, native::MK_LBUTTON, at},
                                  {left, native::WM_LBUTTONDBLCLK, native::MK_LBUTTON, at},
                                  {left, native::WM_LBUTTONDOWN, native::MK_LBUTTON, at},
                                  {right, native::WM_LBUTTONDOWN, native::MK_LBUTTON, at},
                                  {right, native::WM_LBUTTONDOWN, native::MK_LBUTTON, at},
                                  {left, native::WM_RBUTTONDOWN, native::MK_RBUTTON, at},
                                  {left, native::WM_LBUTTONDOWN, native::MK_LBUTTON, native::make_lparam(40, 40)}};
  EXPECT_EQ(take_log(), expected);
}

TEST_F(Input, TheSecondPressMustComeWithinTheDoubleClickTime) {
  record_only({native::WM_LBUTTONDOWN, native::WM_LBUTTONDBLCLK});
  native::Point at = hl::client_point(left, 10, 10);
  for (std::uint32_t pause : {std::uint32_t{hl::DOUBLE_CLICK_MS}, std::uint32_t{hl::DOUBLE_CLICK_MS + 1}}) {
    hl::click(at);
    pump();
    ASSERT_EQ(native::msg_wait_for_multiple_objects(pause), native::WAIT_TIMEOUT);  // the user pauses
    hl::click(at);
    pump();
  }
  std::intptr_t lparam = native::make_lparam(10, 10);
  std::vector<Record> expected = {{left, native::WM_LBUTTONDOWN, native::MK_LBUTTON, lparam},
                                  {left, native::WM_LBUTTONDBLCLK, native::MK_LBUTTON, lparam},
                                  {left, native::WM_LBUTTONDOWN, native::MK_LBUTTON, lparam},
                                  {left, native::WM_LBUTTONDOWN, native::MK_LBUTTON, lparam}};
  EXPECT_EQ(take_log(), expected);
}

TEST_F(Input, CaptureTakesEveryMouseMessage) {
  record_only({native::WM_MOUSEMOVE, native::WM_LBUTTONUP, native::WM_CAPTURECHANGED});
  native::set_capture(left);
  hl::mouse_move(hl::client_point(right, 5, 5));
  hl::mouse_up(native::MouseButton::left, hl::client_point(top, 250, -30));  // outside every window
  pump();
  native::release_capture();
  hl::mouse_move(hl::client_point(right, 6, 6));
  pump();
  std::vector<Record> expected = {{left, native::WM_MOUSEMOVE, 0, native::make_lparam(105, 5)},
                                  {left, native::WM_MOUSEMOVE, 0, native::make_lparam(250, -30)},
                                  {left, native::WM_LBUTTONUP, 0, native::make_lparam(250, -30)},
                                  {left, native::WM_CAPTURECHANGED, 0, 0},
                                  {right, native::WM_MOUSEMOVE, 0, native::make_lparam(6, 6)}};
  EXPECT_EQ(take_log(), expected);
}

TEST_F(Input, LeaveTrackingPostsOneLeave) {
  hl::mouse_move(hl::client_point(left, 1, 1));
  pump();
  record_only({native::WM_MOUSELEAVE});
  ASSERT_TRUE(native::track_mouse_event(native::TME_LEAVE, left));
  hl::mouse_move(hl::client_point(left, 50, 50));
  pump();
  EXPECT_TRUE(take_log().empty());
  hl::mouse_move(hl::client_point(right, 1, 1));
  hl::mouse_move(hl::client_point(right, 2, 2));
  hl::mouse_move(hl::client_point(left, 3, 3));
  pump();
  EXPECT_EQ(take_log(), (std::vector<Record>{{left, native::WM_MOUSELEAVE, 0, 0}}));
  // Asking while the pointer is elsewhere answers at once.
  native::track_mouse_event(native::TME_LEAVE, right);
  pump();
  EXPECT_EQ(take_log(), (std::vector<Record>{{right, native::WM_MOUSELEAVE, 0, 0}}));
  native::track_mouse_event(native::TME_LEAVE, left);
  native::track_mouse_event(native::TME_LEAVE | native::TME_CANCEL, left);
  hl::mouse_move(hl::client_point(right, 1, 1));
  pump();
  EXPECT_TRUE(take_log().empty());
}

TEST_F(Input, ClickOnAnInactiveWindowActivatesIt) {
  Window* other = make_window(50, 50, native::WS_POPUP | native::WS_VISIBLE);
  native::move_window(other, 600, 600, 50, 50, false);
  ASSERT_EQ(native::get_active_window(), other);
  pump();
  record_only({native::WM_MOUSEACTIVATE, native::WM_ACTIVATE, native::WM_LBUTTONDOWN});
  hl::mouse_down(native::MouseButton::left, hl::client_point(left, 3, 4));
  pump();
  std::intptr_t hit = native::make_lparam(native::HTCLIENT, native::WM_LBUTTONDOWN);
  auto as_wparam = [](Window* w) { return reinterpret_cast<std::uintptr_t>(w); };
  std::vector<Record> expected = {
      {left, native::WM_MOUSEACTIVATE, as_wparam(top), hit},  // the child asks its parent first
      {top, native::WM_MOUSEACTIVATE, as_wparam(top), hit},
      {other, native::WM_ACTIVATE, native::WA_INACTIVE, reinterpret_cast<std::intptr_t>(top)},
      {top, native::WM_ACTIVATE, native::WA_CLICKACTIVE, reinterpret_cast<std::intptr_t>(other)},
      {left, native::WM_LBUTTONDOWN, native::MK_LBUTTON, native::make_lparam(3, 4)}};
  EXPECT_EQ(take_log(), expected);
  hl::mouse_up(native::MouseButton::left, hl::client_point(left, 3, 4));

  // A window that answers "do not activate and eat" swallows the click.
  native::set_active_window(other);
  pump();
  handle([](Window*, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
    if (m == native::WM_MOUSEACTIVATE) return native::MA_NOACTIVATEANDEAT;
    return std::nullopt;
  });
  record_only({native::WM_LBUTTONDOWN, native::WM_LBUTTONUP});
  hl::click(hl::client_point(right, 3, 4));
  pump();
  EXPECT_EQ(take_log(), (std::vector<Record>{{right, native::WM_LBUTTONUP, 0, native::make_lparam(3, 4)}}));
  EXPECT_EQ(native::get_active_window(), other);
}

TEST_F(Input, FocusActivationAndAnotherProgram) {
  record_only({native::WM_SETFOCUS, native::WM_KILLFOCUS, native::WM_ACTIVATE});
  auto as_wparam = [](Window* w) { return reinterpret_cast<std::uintptr_t>(w); };
  EXPECT_EQ(native::set_focus(left), top);
  EXPECT_EQ(native::get_focus(), left);
  hl::activate_other_program();
  EXPECT_EQ(native::get_active_window(), nullptr);
  EXPECT_EQ(native::get_foreground_window(), nullptr);
  EXPECT_EQ(native::get_focus(), nullptr);
  std::vector<Record> expected = {{top, native::WM_KILLFOCUS, as_wparam(left), 0},
                                  {left, native::WM_SETFOCUS, as_wparam(top), 0},
                                  {top, native::WM_ACTIVATE, native::WA_INACTIVE, 0},
                                  {left, native::WM_KILLFOCUS, 0, 0}};
  EXPECT_EQ(take_log(), expected);
  hl::activate(top);
  EXPECT_EQ(native::get_foreground_window(), top);
  EXPECT_EQ(native::get_focus(), top);
}

TEST_F(Input, DisabledWindowsTakeNoInputAndLoseTheFocus) {
  native::set_focus(left);
  record_only({native::WM_ENABLE, native::WM_KILLFOCUS, native::WM_LBUTTONDOWN});
  EXPECT_FALSE(native::enable_window(left, false));  // it was enabled
  EXPECT_FALSE(native::is_window_enabled(left));
  hl::click(hl::client_point(left, 5, 5));  // the parent takes it instead
  pump();
  native::enable_window(top, false);
  hl::click(hl::client_point(right, 5, 5));  // a disabled top-level window takes none at all
  pump();
  std::vector<Record> expected = {{left, native::WM_KILLFOCUS, 0, 0},
                                  {left, native::WM_ENABLE, 0, 0},
                                  {top, native::WM_LBUTTONDOWN, native::MK_LBUTTON, native::make_lparam(5, 5)},
                                  {top, native::WM_ENABLE, 0, 0}};
  EXPECT_EQ(take_log(), expected);
  EXPECT_TRUE(native::enable_window(top, true));
}

TEST_F(Input, WheelGoesToTheFocusWindow) {
  native::set_focus(right);
  hl::mouse_move(hl::client_point(left, 7, 8));
  record_only({native::WM_MOUSEWHEEL});
  hl::key_down(native::VK_CONTROL);
  hl::wheel(-240);
  hl::key_up(native::VK_CONTROL);
  pump();
  native::Point p = hl::client_point(left, 7, 8);
  EXPECT_EQ(take_log(),
            (std::vector<Record>{{right, native::WM_MOUSEWHEEL, native::make_wparam(native::MK_CONTROL, 0xFF10),
                                  native::make_lparam(p.x, p.y)}}));
}

TEST_F(Input, CursorsComeFromTheClassAndTheConfinementHolds) {
  EXPECT_EQ(native::cursor_id(native::load_cursor(native::IDC_HAND)), native::IDC_HAND);
  EXPECT_EQ(native::load_cursor(12345), nullptr);
  native::set_cursor(native::load_cursor(native::IDC_WAIT));
  hl::mouse_move(hl::client_point(left, 1, 1));
  pump();  // WM_SETCURSOR: default processing takes the class cursor
  EXPECT_EQ(native::cursor_id(native::get_cursor()), native::IDC_ARROW);
  native::Rect box = {100, 100, 150, 150};
  ASSERT_TRUE(native::clip_cursor(&box));
  hl::mouse_move({400, 20});
  EXPECT_EQ(native::get_cursor_pos(), (native::Point{149, 100}));
  EXPECT_EQ(native::get_clip_cursor().right, 150);
  native::clip_cursor(nullptr);
  EXPECT_EQ(native::get_clip_cursor().right, hl::SCREEN_WIDTH);
}

}  // namespace
