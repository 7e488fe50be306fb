// The runtime pieces put together the way the viewer uses them: one window
// with a menu, a canvas filling the area below it, files dropped on the
// canvas, and drawing shown at once.
#include "ui_fixture.h"

#include "ui/canvas.h"
#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/event_wait.h"
#include "ui/menus.h"
#include "ui/windows.h"

#include "image/drawing.h"
#include "image/drawing_context.h"

#include "native/backends/headless/headless.h"
#include "native/windowing/drag_drop.h"
#include "native/windowing/window.h"

namespace {

namespace headless = native::headless;

// Waits until the given event is current (its data lives until the next
// wait); false if the queue and messages ran out first.
bool wait_for(std::int32_t code) {
  while (std::int32_t answer = wait_window_event(0))
    if (answer == code) return true;
  return false;
}

class ViewerShapeTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    open_window(0, 0, 0, 512, 384 + native::get_system_metrics(native::SM_CYMENU), u"Viewer", 0x00CA0001);
    create_canvas(0, 0, 0, 512, 384);
    enable_gadget_drop(0, 15, 1);
    create_menu(0, window_handle(0));
    menu_title(u"File");
    menu_item(0, u"Open...");
    events();
    canvas = gadget_handle(0);
  }
  native::Window* canvas = nullptr;
};

TEST_F(ViewerShapeTest, TheCanvasFillsTheAreaBelowTheMenuAndStartsWhite) {
  native::Rect client = native::get_client_rect(window_handle(0));
  native::Rect area = native::get_client_rect(canvas);
  EXPECT_EQ(area.right, client.right);
  EXPECT_EQ(area.bottom, client.bottom);
  EXPECT_EQ(headless::pixel(canvas, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(headless::pixel(canvas, 511, 383), 0xFFFFFFu);
}

TEST_F(ViewerShapeTest, DroppingThreeFilesRaisesOneEventWithTheNames) {
  std::vector<std::u16string> names = {u"/tmp/a.ss4", u"/tmp/b c.ss4", u"/tmp/d.ss4"};
  EXPECT_EQ(headless::drop_files(headless::client_point(canvas, 10, 10), names), native::DROPEFFECT_COPY);
  ASSERT_TRUE(wait_for(EVENT_GADGET_DROP));
  EXPECT_EQ(event_object(), 0);
  EXPECT_EQ(event_window(), 0);
  EXPECT_EQ(event_drop_files(), u"/tmp/a.ss4\n/tmp/b c.ss4\n/tmp/d.ss4");
  EXPECT_TRUE(events().empty());       // one event for the whole drop
  EXPECT_EQ(event_drop_files(), u"");  // its data went with the next wait
}

TEST_F(ViewerShapeTest, TextIsRefusedByACanvasThatTakesFiles) {
  EXPECT_EQ(headless::drop_text(headless::client_point(canvas, 10, 10), u"hello"), native::DROPEFFECT_NONE);
  EXPECT_TRUE(events().empty());
}

TEST_F(ViewerShapeTest, AFinishedDrawingPassShowsAtOnce) {
  ASSERT_NE(start_drawing(canvas_output(0)), nullptr);
  box(0, 0, 512, 384, 0);
  box(128, 96, 2, 2, 0x0000FF);
  stop_drawing();
  EXPECT_EQ(headless::pixel(canvas, 0, 0), 0u);
  EXPECT_EQ(headless::pixel(canvas, 129, 97), 0xFF0000u);  // red, read back as 0x00RRGGBB
}

TEST_F(ViewerShapeTest, WindowsAcceptDropsOfTheirOwn) {
  enable_window_drop(0, 15, 1);
  native::Rect client = native::get_client_rect(window_handle(0));
  ASSERT_EQ(client.bottom, 384);
  // The canvas covers the whole client area, so drop where only the window
  // is: give the canvas less room first.
  resize_gadget(0, 0, 0, 256, 192);
  events();
  EXPECT_EQ(headless::drop_files(headless::client_point(window_handle(0), 400, 300), {u"/x"}), native::DROPEFFECT_COPY);
  ASSERT_TRUE(wait_for(EVENT_WINDOW_DROP));
  EXPECT_EQ(event_object(), 0);
  EXPECT_EQ(event_window(), 0);
  EXPECT_EQ(event_drop_files(), u"/x");
  enable_window_drop(7, 15, 1);  // no such window: nothing happens
}

}  // namespace
