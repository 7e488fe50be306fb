#include "window_test_support.h"

#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/paint.h"
#include "native/windowing/timer.h"

namespace {

using native::Message;
using native::Window;
using wintest::Record;

class Queue : public wintest::WindowTest {};

std::uint32_t next_message(std::uint32_t flags = native::PM_REMOVE) {
  Message m;
  return native::peek_message(m, nullptr, 0, 0, flags) ? m.message : 0xFFFFFFFF;
}

TEST_F(Queue, OneMessagePerFetchAndPeekingLeavesItThere) {
  Window* w = make_window(10, 10);
  Window* child = make_child(w, 0, 0, 5, 5, native::WS_CHILD);
  native::post_message(w, native::WM_USER, 1, 2);
  native::post_message(child, native::WM_USER + 1, 3, 4);
  native::post_message(nullptr, native::WM_USER + 2, 0, 0);  // for the thread, no window
  Message m;
  ASSERT_TRUE(native::peek_message(m, nullptr, 0, 0, native::PM_NOREMOVE));
  EXPECT_EQ(m.message, native::WM_USER);
  EXPECT_EQ(native::queued_message_count(), 3u);
  // A range filter skips what does not match; a window filter takes children.
  ASSERT_TRUE(native::peek_message(m, w, native::WM_USER + 1, native::WM_USER + 1, native::PM_REMOVE));
  EXPECT_EQ(m.window, child);
  EXPECT_FALSE(native::peek_message(m, child, native::WM_USER + 2, native::WM_USER + 2, native::PM_NOREMOVE));
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ((std::pair{m.message, m.wparam}), (std::pair{native::WM_USER, std::uintptr_t{1}}));
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ(m.window, nullptr);
  EXPECT_FALSE(native::peek_message(m, nullptr, 0, 0, native::PM_REMOVE | native::PM_NOYIELD));
}

TEST_F(Queue, PostedThenInputThenQuitThenPaint) {
  Window* w = make_window(10, 10, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  Message m;
  ASSERT_TRUE(native::get_update_rect(w, nullptr, false));  // shown, so due for painting
  native::headless::key_down('A');
  native::post_quit_message(3);
  native::post_message(w, native::WM_USER, 0, 0);
  EXPECT_EQ(next_message(), native::WM_USER);
  EXPECT_EQ(next_message(), native::WM_KEYDOWN);
  ASSERT_FALSE(native::get_message(m));  // the quit request
  EXPECT_EQ((std::pair{m.message, m.wparam}), (std::pair{native::WM_QUIT, std::uintptr_t{3}}));
  // Painting comes last and stays pending until the window is validated.
  EXPECT_EQ(next_message(), native::WM_PAINT);
  EXPECT_EQ(next_message(), native::WM_PAINT);
  native::headless::key_up('A');
  EXPECT_EQ(next_message(), native::WM_KEYUP);
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ(m.message, native::WM_PAINT);
  native::dispatch_message(m);  // default processing validates
  EXPECT_EQ(next_message(), 0xFFFFFFFFu);
}

TEST_F(Queue, WaitingAnswersAtOnceOrAfterTheTimeout) {
  // Time moves only while a wait blocks, by exactly the time waited.
  const std::uint32_t start = native::get_tick_count();
  EXPECT_EQ(start, 0u);  // every install starts the clock alike
  EXPECT_EQ(native::msg_wait_for_multiple_objects(0), native::WAIT_TIMEOUT);
  EXPECT_EQ(native::get_tick_count(), start);
  EXPECT_EQ(native::msg_wait_for_multiple_objects(50), native::WAIT_TIMEOUT);
  EXPECT_EQ(native::get_tick_count(), start + 50);

  Window* w = make_window(10, 10);
  native::post_message(w, native::WM_USER, 0, 0);
  EXPECT_EQ(native::msg_wait_for_multiple_objects(1000), native::WAIT_OBJECT_0);
  EXPECT_EQ(native::get_tick_count(), start + 50);
  pump();
  // Input the user gives while the program waits ends the wait early.
  native::headless::schedule([w] { native::post_message(w, native::WM_USER + 5, 0, 0); });
  EXPECT_EQ(native::msg_wait_for_multiple_objects(native::INFINITE), native::WAIT_OBJECT_0);
  EXPECT_EQ(native::get_tick_count(), start + 50);
  Message m;
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ((std::pair{m.message, m.time}), (std::pair{native::WM_USER + 5, start + 50}));
}

TEST_F(Queue, BlockingFetchWaitsForScheduledInputAndCanBeStarvedOut) {
  Window* w = make_window(10, 10, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  pump();
  native::headless::schedule([] { native::headless::key_down(native::VK_ESCAPE); });
  Message m;
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ((Record{m.window, m.message, m.wparam, 0}), (Record{w, native::WM_KEYDOWN, native::VK_ESCAPE, 0}));
  native::headless::on_starved([] { native::post_quit_message(0); });
  EXPECT_FALSE(native::get_message(m));
}

TEST_F(Queue, TranslationPostsTheCharacterOfTheKey) {
  Window* w = make_window(10, 10, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  pump();
  record_only({native::WM_CHAR, native::WM_SYSCHAR});
  native::headless::press_key('A');
  native::headless::press_key('A', native::headless::MOD_SHIFT);
  native::headless::press_key('2', native::headless::MOD_SHIFT);
  native::headless::press_key(native::VK_RETURN);
  native::headless::press_key(native::VK_ESCAPE);
  native::headless::press_key(native::VK_SPACE);
  native::headless::press_key('O', native::headless::MOD_CONTROL);
  native::headless::press_key('X', native::headless::MOD_ALT);
  native::headless::press_key(native::VK_LEFT);  // no character
  pump();
  std::vector<Record> expected = {{w, native::WM_CHAR, 'a', 1}, {w, native::WM_CHAR, 'A', 1},
                                  {w, native::WM_CHAR, '@', 1}, {w, native::WM_CHAR, 13, 1},
                                  {w, native::WM_CHAR, 27, 1},  {w, native::WM_CHAR, ' ', 1},
                                  {w, native::WM_CHAR, 15, 1},  {w, native::WM_SYSCHAR, 'x', 1 | 1 << 29}};
  EXPECT_EQ(take_log(), expected);
}

TEST_F(Queue, TimersFireWhenNothingElseIsPending) {
  Window* w = make_window(10, 10);
  const std::uint32_t start = native::get_tick_count();
  ASSERT_EQ(native::set_timer(w, 7, 30), 7u);
  native::post_message(w, native::WM_USER, 0, 0);
  Message m;
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ(m.message, native::WM_USER);
  ASSERT_TRUE(native::get_message(m));  // waits for the timer, and no longer
  EXPECT_EQ((Record{m.window, m.message, m.wparam, m.lparam}), (Record{w, native::WM_TIMER, 7, 0}));
  EXPECT_EQ(m.time, start + 30);
  EXPECT_EQ(native::get_tick_count(), start + 30);
  EXPECT_EQ(next_message(), 0xFFFFFFFFu);  // restarted, not due again yet
  // A longer wait ends when the timer comes due again.
  EXPECT_EQ(native::msg_wait_for_multiple_objects(100), native::WAIT_OBJECT_0);
  EXPECT_EQ(native::get_tick_count(), start + 60);
  EXPECT_TRUE(native::kill_timer(w, 7));
  EXPECT_FALSE(native::kill_timer(w, 7));
  native::set_timer(w, 8, 10);
  native::destroy_window(w);  // its timers go with it
  EXPECT_EQ(native::msg_wait_for_multiple_objects(40), native::WAIT_TIMEOUT);
  EXPECT_EQ(native::get_tick_count(), start + 100);
  EXPECT_EQ(native::set_timer(w, 9, 10), 0u);
}

TEST_F(Queue, RegisteredMessagesShareOneNumberPerName) {
  std::uint32_t a = native::register_window_message(u"VX_PostEventMessage");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(native::register_window_message(u"vx_posteventmessage"), a);
  EXPECT_NE(native::register_window_message(u"Other"), a);
  EXPECT_EQ(native::register_window_message(u""), 0u);
}

TEST_F(Queue, MessagePositionIsThatOfTheLastFetchedMessage) {
  Window* w = make_window(100, 100, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  pump();
  native::Point inside = native::headless::client_point(w, 10, 20);
  native::headless::mouse_move(inside);
  native::headless::mouse_move({inside.x + 5, inside.y + 5});
  Message m;
  ASSERT_TRUE(native::peek_message(m, nullptr, native::WM_MOUSEMOVE, native::WM_MOUSEMOVE, native::PM_REMOVE));
  EXPECT_EQ(native::get_message_pos(), static_cast<std::uint32_t>(native::make_lparam(inside.x, inside.y)));
  EXPECT_EQ(m.lparam, native::make_lparam(10, 20));
  EXPECT_EQ(m.point, inside);
  EXPECT_EQ(native::get_message_time(), m.time);
  // Packing keeps negative coordinates signed.
  EXPECT_EQ(native::x_of(static_cast<std::uintptr_t>(native::make_lparam(-5, -7))), -5);
  EXPECT_EQ(native::y_of(static_cast<std::uintptr_t>(native::make_lparam(-5, -7))), -7);
}

}  // namespace
