// The window layout the viewer builds, put together the way the runtime
// does it, so the pieces are proven to fit.
#include "window_test_support.h"

#include "native/graphics/bitmap.h"
#include "native/windowing/drag_drop.h"
#include "native/windowing/input_events.h"
#include "native/windowing/input_state.h"
#include "native/windowing/menu.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/paint.h"

namespace {

using native::Window;
namespace hl = native::headless;

class ViewerShape : public wintest::WindowTest {};

TEST_F(ViewerShape, WindowMenuAndCanvasFitTogether) {
  native::WindowClassInfo info;
  info.procedure = &native::def_window_proc;
  info.style = native::CS_DBLCLKS;
  info.background = native::COLOR_BTNFACE + 1;
  info.name = u"PostEventClass";
  ASSERT_TRUE(native::register_class(info));
  Window* events = native::create_window(0, u"PostEventClass", u"", 0x00C00000, 0, 0, 1, 1, nullptr, nullptr, 0);
  ASSERT_NE(events, nullptr);
  EXPECT_FALSE(native::is_window_visible(events));
  EXPECT_EQ(native::get_active_window(), nullptr);

  info.cursor = native::load_cursor(native::IDC_ARROW);
  info.name = u"WindowClass_0";
  ASSERT_TRUE(native::register_class(info));
  std::uint32_t style = 0x00CA0000;
  native::Rect r{0, 0, 512, 384 + native::get_system_metrics(native::SM_CYMENU)};
  native::adjust_window_rect_ex(r, style, false, 0);
  int width = r.right - r.left, height = r.bottom - r.top;
  Window* w = native::create_window(0, u"WindowClass_0", u"Tesselon", style, native::CW_USEDEFAULT,
                                    native::CW_USEDEFAULT, width, height, nullptr, nullptr, 0);
  ASSERT_NE(w, nullptr);
  int x = (native::get_system_metrics(native::SM_CXSCREEN) - width) / 2;
  int y = (native::get_system_metrics(native::SM_CYSCREEN) - height) / 2;
  native::set_window_pos(w, nullptr, x, y, 0, 0, 0x15);
  native::show_window(w, native::SW_SHOWNORMAL);
  EXPECT_EQ(native::get_active_window(), w);

  info.background = 0;
  info.cursor = nullptr;
  info.name = u"VornelCanvas";
  ASSERT_TRUE(native::register_class(info));
  Window* canvas = native::create_window(0, u"VornelCanvas", u"", 0x50000000, 0, 0, 512, 384, w, nullptr, -1);
  native::set_window_long(canvas, native::GWL_ID, 0);
  native::set_window_pos(w, native::HWND_TOPMOST, 0, 0, 0, 0, native::SWP_NOMOVE | native::SWP_NOSIZE);
  native::Menu* bar = native::create_menu();
  native::Menu* file = native::create_popup_menu();
  native::append_menu(bar, native::MF_POPUP, reinterpret_cast<std::uintptr_t>(file), u"File");
  native::set_menu(w, bar);
  native::append_menu(file, native::MF_STRING, 0, u"Open...\tCtrl+O");
  native::set_menu(w, bar);
  EXPECT_LT(pump(), 10);  // the first paints, no storm

  native::Rect outer = native::get_window_rect(w);
  EXPECT_EQ(outer.left, x);
  EXPECT_EQ(outer.top, y);
  native::Rect client = native::get_client_rect(w);
  EXPECT_EQ((std::pair{client.right, client.bottom}), (std::pair{512, 384}));
  native::Rect canvas_rect = native::get_window_rect(canvas);
  native::Point origin{0, 0};
  native::client_to_screen(w, origin);
  EXPECT_EQ((native::Point{canvas_rect.left, canvas_rect.top}), origin);
  EXPECT_EQ(native::window_surface(canvas)->width, 512);
  EXPECT_TRUE(native::get_window_long(w, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);

  // Pointer, menu and the held Escape key all find their way.
  native::Point middle = hl::client_point(canvas, 256, 192);
  hl::mouse_move(middle);
  EXPECT_EQ(native::window_under_pointer(), canvas);
  hl::key_down(native::VK_ESCAPE);
  EXPECT_LT(native::get_async_key_state(native::VK_ESCAPE), 0);
  hl::key_up(native::VK_ESCAPE);
  EXPECT_TRUE(hl::choose_menu_item(w, 0));
  native::Message m;
  ASSERT_TRUE(native::get_message(m));
  EXPECT_EQ(m.message, native::WM_COMMAND);  // posted before the key input
}

}  // namespace
