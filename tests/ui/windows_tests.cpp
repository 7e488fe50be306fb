#include "ui_fixture.h"

#include "ui/event_queue.h"
#include "ui/event_wait.h"
#include "ui/windows.h"

#include "runtime/general_heap.h"

#include "native/backends/headless/headless.h"
#include "native/windowing/menu.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/window.h"

namespace {

namespace headless = native::headless;

constexpr std::uint32_t VIEWER_FLAGS = 0x00CA0001;

class WindowsTest : public UiTest {
 protected:
  native::Window* open_viewer_like(int width = 512, int height = 384) {
    open_window(0, 0, 0, width, height + native::get_system_metrics(native::SM_CYMENU), u"Test", VIEWER_FLAGS);
    native::Window* window = window_handle(0);
    native::Menu* bar = native::create_menu();
    native::Menu* file = native::create_popup_menu();
    native::append_menu(file, native::MF_STRING, 0, u"Open...");
    native::append_menu(bar, native::MF_POPUP, reinterpret_cast<std::uintptr_t>(file), u"File");
    native::set_menu(window, bar);
    return window;
  }
};

TEST_F(WindowsTest, OpensCentredWithTheClientAreaBelowTheMenu) {
  native::Window* window = open_viewer_like();
  ASSERT_NE(window, nullptr);
  native::Rect client = native::get_client_rect(window);
  EXPECT_EQ(client.right - client.left, 512);
  EXPECT_EQ(client.bottom - client.top, 384);
  native::Rect outer = native::get_window_rect(window);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  EXPECT_EQ(outer.left, (headless::SCREEN_WIDTH - width) / 2);
  EXPECT_EQ(outer.top, (headless::SCREEN_HEIGHT - height) / 2);
  EXPECT_TRUE(native::is_window_visible(window));
}

TEST_F(WindowsTest, AWindowLargerThanTheScreenLandsAtTheOrigin) {
  open_window(0, 0, 0, 3000, 2000, u"Big", VIEWER_FLAGS);
  native::Rect outer = native::get_window_rect(window_handle(0));
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
}

TEST_F(WindowsTest, TheFirstActivationHasNoWindowNumberYet) {
  open_window(0, 0, 0, 200, 100, u"Plain", VIEWER_FLAGS);
  // Creating and showing report nothing else; the first paint comes after
  // the window has its number.
  EXPECT_EQ(events(), (std::vector<SeenEvent>{{EVENT_ACTIVATE_WINDOW, 0, -1, 0}, {EVENT_REPAINT, 0, 0, 0}}));
}

TEST_F(WindowsTest, AMenuChoiceAnswersTheMessageThenTheEvent) {
  native::Window* window = open_viewer_like();
  events();
  ASSERT_TRUE(headless::choose_menu_item(window, 0));
  EXPECT_EQ(wait_window_event(0), native::WM_COMMAND);
  EXPECT_EQ(wait_window_event(0), EVENT_MENU);
  EXPECT_EQ(event_object(), 0);
  EXPECT_EQ(event_window(), 0);
}

TEST_F(WindowsTest, TheCloseBoxAsksButLeavesTheWindowOpen) {
  native::Window* window = open_viewer_like();
  events();
  ASSERT_TRUE(headless::click_close_box(window));
  EXPECT_EQ(events(), (std::vector<SeenEvent>{{EVENT_CLOSE_WINDOW, 0, 0, 0}}));
  EXPECT_TRUE(native::is_window(window));
}

// The size family alone: moves, repaints and activation come and go with
// placement and are checked elsewhere.
std::vector<SeenEvent> size_events(std::vector<SeenEvent> all) {
  std::erase_if(all, [](const SeenEvent& e) {
    return e.code != EVENT_MINIMIZE_WINDOW && e.code != EVENT_MAXIMIZE_WINDOW && e.code != EVENT_RESTORE_WINDOW &&
           e.code != EVENT_SIZE_WINDOW;
  });
  return all;
}

TEST_F(WindowsTest, MinimiseRestoreAndMaximiseReportTheirSteps) {
  native::Window* window = open_viewer_like();
  events();
  headless::minimize(window);
  EXPECT_EQ(size_events(events()), (std::vector<SeenEvent>{{EVENT_MINIMIZE_WINDOW, 0, 0, 0}}));
  headless::restore(window);
  EXPECT_EQ(size_events(events()),
            (std::vector<SeenEvent>{{EVENT_RESTORE_WINDOW, 0, 0, 0}, {EVENT_SIZE_WINDOW, 0, 0, 0}}));
  headless::maximize(window);
  EXPECT_EQ(size_events(events()),
            (std::vector<SeenEvent>{{EVENT_MAXIMIZE_WINDOW, 0, 0, 0}, {EVENT_SIZE_WINDOW, 0, 0, 0}}));
  headless::restore(window);
  EXPECT_EQ(size_events(events()),
            (std::vector<SeenEvent>{{EVENT_RESTORE_WINDOW, 0, 0, 0}, {EVENT_SIZE_WINDOW, 0, 0, 0}}));
}

TEST_F(WindowsTest, DeactivationAndReactivationAreReported) {
  native::Window* window = open_viewer_like();
  events();
  headless::activate_other_program();
  EXPECT_EQ(events(), (std::vector<SeenEvent>{{EVENT_DEACTIVATE_WINDOW, 0, 0, 0}}));
  headless::activate(window);
  EXPECT_EQ(events(), (std::vector<SeenEvent>{{EVENT_ACTIVATE_WINDOW, 0, 0, 0}}));
}

TEST_F(WindowsTest, WaitingWithATimeout) {
  native::Window* window = open_viewer_like();
  events();
  const std::uint32_t start = native::get_tick_count();
  EXPECT_EQ(wait_window_event(0), 0);
  EXPECT_EQ(native::get_tick_count(), start);
  EXPECT_EQ(wait_window_event(50), 0);
  EXPECT_EQ(native::get_tick_count(), start + 50);
  // A choice the user makes while the program waits ends the wait then.
  headless::schedule([window] { headless::choose_menu_item(window, 0); });
  EXPECT_EQ(wait_window_event(50), native::WM_COMMAND);
  EXPECT_EQ(native::get_tick_count(), start + 50);
}

TEST_F(WindowsTest, AQueuedEventIsAnsweredBeforeAnyMessage) {
  native::Window* window = open_viewer_like();
  events();
  headless::choose_menu_item(window, 0);
  post_event(EVENT_TIMER, 7, 0, 0);
  EXPECT_EQ(answers(),
            (std::vector<std::int32_t>{EVENT_TIMER, static_cast<std::int32_t>(native::WM_COMMAND), EVENT_MENU}));
}

TEST_F(WindowsTest, StayOnTopPutsTheWindowInTheTopmostBand) {
  native::Window* window = open_viewer_like();
  EXPECT_NE(set_window_stay_on_top(0, true), 0);
  EXPECT_TRUE(native::get_window_long(window, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);
  set_window_stay_on_top(0, false);
  EXPECT_FALSE(native::get_window_long(window, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);
  EXPECT_EQ(set_window_stay_on_top(5, true), 0);
}

TEST_F(WindowsTest, FreeingAWindowDropsItsQueuedEventsAndNumber) {
  native::Window* window = open_viewer_like();
  events();
  post_event(EVENT_MENU, 1, 0, 0);
  post_event(EVENT_MENU, 2, 1, 0);
  EXPECT_EQ(free_window(0), 1);
  EXPECT_FALSE(native::is_window(window));
  EXPECT_EQ(window_handle(0), nullptr);
  EXPECT_EQ(free_window(0), 0);
  // The window had lost its number when going made it inactive.
  EXPECT_EQ(events(), (std::vector<SeenEvent>{{EVENT_MENU, 2, 1, 0}, {EVENT_DEACTIVATE_WINDOW, 0, -1, 0}}));
}

TEST_F(WindowsTest, ReopeningANumberReplacesTheWindow) {
  native::Window* first = open_viewer_like();
  open_window(0, 10, 10, 100, 100, u"Again", 0);
  EXPECT_FALSE(native::is_window(first));
  EXPECT_NE(window_handle(0), nullptr);
  ObjectId any = open_window(OBJECT_ANY, 0, 0, 50, 50, u"Any", 0);
  ASSERT_NE(any, 0);
  EXPECT_NE(window_handle(any), nullptr);
}

}  // namespace

namespace {

TEST_F(WindowsTest, EventsHandedToTheHiddenWindowReachTheQueue) {
  open_viewer_like();
  events();
  auto* record = static_cast<PostedEventRecord*>(general_alloc(sizeof(PostedEventRecord)));
  *record = {0, EVENT_MENU, 42, 0, 0, nullptr};
  ASSERT_TRUE(
      native::post_message(posted_event_window(), posted_event_message(), 0, reinterpret_cast<std::intptr_t>(record)));
  EXPECT_EQ(events(), (std::vector<SeenEvent>{{EVENT_MENU, 42, 0, 0}}));
  EXPECT_FALSE(native::is_window_visible(posted_event_window()));
}

TEST_F(WindowsTest, AQuitRequestIsAnsweredLikeAnyMessage) {
  open_viewer_like();
  events();
  native::post_quit_message(0);
  EXPECT_EQ(wait_window_event(0), static_cast<std::int32_t>(native::WM_QUIT));
}

}  // namespace
