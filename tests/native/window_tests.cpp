#include "window_test_support.h"

#include "native/graphics/bitmap.h"
#include "native/windowing/input_state.h"
#include "native/windowing/menu.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/paint.h"

#include <utility>

namespace {

using native::Window;
using wintest::Record;

struct Step {
  Window* window;
  std::string message;
  friend bool operator==(const Step&, const Step&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Step& s) { return out << s.window << " " << s.message; }
};

std::vector<Step> steps(const std::vector<Record>& log) {
  std::vector<Step> out;
  for (const Record& r : log) out.push_back({r.window, wintest::message_name(r.message)});
  return out;
}

class Windows : public wintest::WindowTest {};

TEST_F(Windows, CreateShowAndDestroyInTheNativeOrder) {
  Window* top = make_window(200, 100);
  ASSERT_NE(top, nullptr);
  Window* child = make_child(top, 0, 0, 50, 50);
  ASSERT_NE(child, nullptr);
  native::show_window(top, native::SW_SHOWNORMAL);
  native::destroy_window(top);
  std::vector<Step> expected = {
      {top, "WM_GETMINMAXINFO"}, {top, "WM_NCCREATE"},     {top, "WM_CREATE"},     {top, "WM_SIZE"},
      {top, "WM_MOVE"},          {child, "WM_NCCREATE"},   {child, "WM_CREATE"},   {child, "WM_SIZE"},
      {child, "WM_MOVE"},        {child, "WM_SHOWWINDOW"}, {top, "WM_SHOWWINDOW"}, {top, "WM_ACTIVATE"},
      {top, "WM_SETFOCUS"},      {top, "WM_ACTIVATE"},     {top, "WM_KILLFOCUS"},  {top, "WM_DESTROY"},
      {child, "WM_DESTROY"},     {child, "WM_NCDESTROY"},  {top, "WM_NCDESTROY"}};
  EXPECT_EQ(steps(take_log()), expected);
  EXPECT_FALSE(native::is_window(top));
  EXPECT_FALSE(native::is_window(child));
  EXPECT_EQ(native::get_active_window(), nullptr);
  EXPECT_EQ(native::get_focus(), nullptr);
}

TEST_F(Windows, FirstSizeAndMoveCarryTheClientArea) {
  record_only({native::WM_SIZE, native::WM_MOVE});
  Window* top = make_window(200, 100, native::WS_CAPTION | native::WS_SYSMENU);
  int top_y = 100 + native::headless::FIXED_FRAME + native::headless::CAPTION_HEIGHT;
  std::vector<Record> expected = {{top, native::WM_SIZE, native::SIZE_RESTORED, native::make_lparam(200, 100)},
                                  {top, native::WM_MOVE, 0, native::make_lparam(100 + 3, top_y)}};
  EXPECT_EQ(take_log(), expected);
}

TEST_F(Windows, RefusingCreationLeavesNoWindow) {
  handle([](Window*, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
    if (m == native::WM_CREATE) return -1;
    return std::nullopt;
  });
  record_only({native::WM_CREATE, native::WM_DESTROY, native::WM_NCDESTROY});
  EXPECT_EQ(make_window(10, 10), nullptr);
  auto log = take_log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[2].message, native::WM_NCDESTROY);
  EXPECT_FALSE(native::is_window(log[0].window));
  EXPECT_TRUE(native::top_level_windows().empty());
  EXPECT_EQ(native::create_window(0, u"NoSuchClass", u"", 0, 0, 0, 10, 10, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(native::create_window(0, u"Recorder", u"", native::WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, 0), nullptr);
}

TEST_F(Windows, ClassesAreNamedOnceAndStayWhileInUse) {
  native::WindowClassInfo info;
  info.procedure = &native::def_window_proc;
  info.name = u"recorder";  // names ignore case
  EXPECT_FALSE(native::register_class(info));
  Window* w = make_window(10, 10);
  EXPECT_FALSE(native::unregister_class(u"Recorder"));
  EXPECT_EQ(native::get_class_name(w), u"Recorder");
  native::destroy_window(w);
  EXPECT_TRUE(native::unregister_class(u"RECORDER"));
  EXPECT_FALSE(native::unregister_class(u"Recorder"));
}

TEST_F(Windows, MinimiseMaximiseAndRestoreReportTheirSizes) {
  Window* w = make_window(300, 200, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  record_only({native::WM_SIZE, native::WM_MOVE});
  native::headless::minimize(w);
  EXPECT_TRUE(native::is_iconic(w));
  EXPECT_NE(native::get_active_window(), w);
  native::headless::restore(w);
  EXPECT_EQ(native::get_active_window(), w);
  native::headless::maximize(w);
  EXPECT_TRUE(native::is_zoomed(w));
  native::headless::restore(w);
  int frame = native::headless::SIZING_FRAME, caption = native::headless::CAPTION_HEIGHT;
  std::intptr_t normal_origin = native::make_lparam(100 + frame, 100 + frame + caption);
  std::vector<Record> expected = {
      {w, native::WM_SIZE, native::SIZE_MINIMIZED, 0},
      {w, native::WM_SIZE, native::SIZE_RESTORED, native::make_lparam(300, 200)},
      {w, native::WM_MOVE, 0, native::make_lparam(0, caption)},
      {w, native::WM_SIZE, native::SIZE_MAXIMIZED, native::make_lparam(1280, 1024 - caption)},
      {w, native::WM_MOVE, 0, normal_origin},
      {w, native::WM_SIZE, native::SIZE_RESTORED, native::make_lparam(300, 200)}};
  EXPECT_EQ(take_log(), expected);
  native::Rect client = native::get_client_rect(w);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
}

TEST_F(Windows, CloseBoxReachesTheProcedureAsClose) {
  Window* w = make_window(50, 50, native::WS_CAPTION | native::WS_SYSMENU | native::WS_VISIBLE);
  bool keep_open = true;
  handle([&](Window*, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
    if (m == native::WM_CLOSE && keep_open) return 0;
    return std::nullopt;
  });
  record_only({native::WM_SYSCOMMAND, native::WM_CLOSE, native::WM_DESTROY});
  ASSERT_TRUE(native::headless::click_close_box(w));
  pump();
  auto log = take_log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].message, native::WM_SYSCOMMAND);
  EXPECT_EQ(log[0].wparam, native::SC_CLOSE);
  EXPECT_EQ(log[1], (Record{w, native::WM_CLOSE, 0, 0}));
  EXPECT_TRUE(native::is_window(w));  // the procedure decides

  keep_open = false;  // default processing destroys
  native::headless::click_close_box(w);
  pump();
  EXPECT_EQ(steps(take_log()), (std::vector<Step>{{w, "WM_SYSCOMMAND"}, {w, "WM_CLOSE"}, {w, "WM_DESTROY"}}));
  EXPECT_FALSE(native::is_window(w));
  Window* no_box = make_window(50, 50, native::WS_CAPTION);
  EXPECT_FALSE(native::headless::click_close_box(no_box));
}

TEST_F(Windows, MenuBarTakesItsHeightFromTheClientArea) {
  // The runtime's recipe: adjust without a menu for inner 512 × (384 + menu),
  // then attach the bar.
  std::uint32_t style = 0x00CA0000;
  native::Rect r{0, 0, 512, 384 + native::get_system_metrics(native::SM_CYMENU)};
  native::adjust_window_rect_ex(r, style, false, 0);
  Window* w =
      native::create_window(0, u"Recorder", u"", style, 0, 0, r.right - r.left, r.bottom - r.top, nullptr, nullptr, 0);
  native::Menu* bar = native::create_menu();
  native::Menu* file = native::create_popup_menu();
  native::append_menu(file, native::MF_STRING, 1, u"Open");
  native::append_menu(bar, native::MF_POPUP, reinterpret_cast<std::uintptr_t>(file), u"File");
  record_only({native::WM_SIZE});
  ASSERT_TRUE(native::set_menu(w, bar));
  native::Rect client = native::get_client_rect(w);
  EXPECT_EQ(client.right, 512);
  EXPECT_EQ(client.bottom, 384);
  EXPECT_EQ(take_log(), (std::vector<Record>{{w, native::WM_SIZE, 0, native::make_lparam(512, 384)}}));
  // The same outer size as adjusting 512 × 384 with a menu.
  native::Rect with_menu{0, 0, 512, 384};
  native::adjust_window_rect_ex(with_menu, style, true, 0);
  native::Rect outer = native::get_window_rect(w);
  EXPECT_EQ(outer.right - outer.left, with_menu.right - with_menu.left);
  EXPECT_EQ(outer.bottom - outer.top, with_menu.bottom - with_menu.top);
  native::Point origin{0, 0};
  native::client_to_screen(w, origin);
  EXPECT_EQ(origin, (native::Point{3, 3 + 23 + 20}));
  EXPECT_EQ(native::window_surface(w)->height, 384);
  // Destroying the window destroys its bar and the drop-downs under it.
  native::destroy_window(w);
  EXPECT_FALSE(native::is_menu(bar));
  EXPECT_FALSE(native::is_menu(file));
}

TEST_F(Windows, CoordinatesMapThroughNestedChildren) {
  Window* top = make_window(300, 300, native::WS_POPUP);  // no frame: client at the window corner
  native::move_window(top, 10, 20, 300, 300, false);
  Window* a = make_child(top, 5, 6, 100, 100);
  Window* b = make_child(a, 7, 8, 50, 50, native::WS_CHILD | native::WS_VISIBLE | native::WS_BORDER);
  native::Point p{0, 0};
  native::client_to_screen(b, p);
  EXPECT_EQ(p, (native::Point{10 + 5 + 7 + 1, 20 + 6 + 8 + 1}));
  native::Point q{1, 1};
  native::map_window_points(b, top, &q, 1);
  EXPECT_EQ(q, (native::Point{1 + 5 + 7 + 1, 1 + 6 + 8 + 1}));
  native::screen_to_client(a, p);
  EXPECT_EQ(p, (native::Point{8, 9}));
  native::Rect rb = native::get_window_rect(b);
  EXPECT_EQ(rb.left, 10 + 5 + 7);
  EXPECT_EQ(rb.right - rb.left, 50);
}

bool collect(Window* w, std::intptr_t data) {
  reinterpret_cast<std::vector<Window*>*>(data)->push_back(w);
  return true;
}

TEST_F(Windows, TreeAndOwnership) {
  Window* top = make_window(100, 100);
  Window* a = make_child(top, 0, 0, 10, 10);
  Window* a1 = make_child(a, 0, 0, 5, 5);
  Window* b = make_child(top, 20, 0, 10, 10);
  std::vector<Window*> seen;
  EXPECT_TRUE(native::enum_child_windows(top, &collect, reinterpret_cast<std::intptr_t>(&seen)));
  EXPECT_EQ(seen, (std::vector<Window*>{a, a1, b}));
  EXPECT_TRUE(native::is_child(top, a1));
  EXPECT_FALSE(native::is_child(a, b));
  EXPECT_EQ(native::get_parent(a1), a);
  EXPECT_EQ(native::get_parent(top), nullptr);
  EXPECT_EQ(native::get_ancestor_root(a1), top);

  Window* owned = native::create_window(0, u"Recorder", u"", native::WS_POPUP, 0, 0, 10, 10, a, nullptr, 0);
  EXPECT_EQ(native::get_window(owned, native::GW_OWNER), top);  // the owner is always top-level
  EXPECT_EQ(native::get_parent(owned), nullptr);
  native::destroy_window(top);
  EXPECT_FALSE(native::is_window(owned));
}

TEST_F(Windows, AlwaysOnTopBandKeepsItsPlace) {
  Window* w1 = make_window(10, 10, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  Window* w2 = make_window(10, 10, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  EXPECT_EQ(native::top_level_windows(), (std::vector<Window*>{w2, w1}));
  native::set_window_pos(w1, native::HWND_TOPMOST, 0, 0, 0, 0,
                         native::SWP_NOMOVE | native::SWP_NOSIZE | native::SWP_NOACTIVATE);
  EXPECT_TRUE(native::get_window_long(w1, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);
  native::headless::activate(w2);
  EXPECT_EQ(native::get_active_window(), w2);
  EXPECT_EQ(native::top_level_windows(), (std::vector<Window*>{w1, w2}));
  Window* w3 = make_window(10, 10, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  EXPECT_EQ(native::top_level_windows(), (std::vector<Window*>{w1, w3, w2}));
  native::set_window_pos(w1, native::HWND_NOTOPMOST, 0, 0, 0, 0,
                         native::SWP_NOMOVE | native::SWP_NOSIZE | native::SWP_NOACTIVATE);
  EXPECT_FALSE(native::get_window_long(w1, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);
  EXPECT_EQ(native::top_level_windows(), (std::vector<Window*>{w1, w3, w2}));
  native::headless::activate(w2);
  EXPECT_EQ(native::top_level_windows(), (std::vector<Window*>{w2, w1, w3}));
}

std::intptr_t replacement(Window* w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp);
native::WindowProc previous_proc = nullptr;
std::intptr_t replacement(Window* w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
  if (m == native::WM_USER) return 42;
  return native::call_window_proc(previous_proc, w, m, wp, lp);
}

TEST_F(Windows, PropertiesLongsAndSubclassing) {
  Window* w = make_window(10, 10);
  int a = 0, b = 0;
  EXPECT_TRUE(native::set_prop(w, u"VX_Thing", &a));
  EXPECT_TRUE(native::set_prop(w, u"VX_Thing", &b));
  EXPECT_EQ(native::get_prop(w, u"VX_Thing"), &b);
  EXPECT_EQ(native::get_prop(w, u"vx_thing"), nullptr);  // keys compare exactly
  EXPECT_EQ(native::remove_prop(w, u"VX_Thing"), &b);
  EXPECT_EQ(native::remove_prop(w, u"VX_Thing"), nullptr);

  previous_proc = native::set_window_proc(w, &replacement);
  ASSERT_NE(previous_proc, nullptr);
  record_only({native::WM_USER, native::WM_USER + 1});
  EXPECT_EQ(native::send_message(w, native::WM_USER, 0, 0), 42);
  native::send_message(w, native::WM_USER + 1, 5, 6);
  EXPECT_EQ(take_log(), (std::vector<Record>{{w, native::WM_USER + 1, 5, 6}}));  // forwarded to the old one
  EXPECT_EQ(native::set_window_proc(w, previous_proc), &replacement);

  native::set_window_long(w, native::GWL_ID, 77);
  EXPECT_EQ(native::get_window_long(w, native::GWL_ID), 77);
  std::intptr_t old_style = native::set_window_long(w, native::GWL_STYLE, native::WS_POPUP);
  EXPECT_EQ(static_cast<std::uint32_t>(old_style) & native::WS_CAPTION, native::WS_CAPTION);
  EXPECT_EQ(static_cast<std::uint32_t>(native::get_window_long(w, native::GWL_STYLE)), native::WS_POPUP);
}

TEST_F(Windows, StaleAndMadeUpHandlesAreAnsweredSafely) {
  Window* w = make_window(10, 10);
  native::destroy_window(w);
  auto* made_up = reinterpret_cast<Window*>(0x1234);
  for (Window* bad : {w, made_up}) {
    EXPECT_FALSE(native::is_window(bad));
    EXPECT_FALSE(native::destroy_window(bad));
    EXPECT_EQ(native::send_message(bad, native::WM_USER, 0, 0), 0);
    EXPECT_FALSE(native::post_message(bad, native::WM_USER, 0, 0));
    EXPECT_FALSE(native::set_prop(bad, u"x", nullptr));
    EXPECT_EQ(native::get_prop(bad, u"x"), nullptr);
    EXPECT_FALSE(native::show_window(bad, native::SW_SHOW));
    EXPECT_FALSE(native::set_window_pos(bad, nullptr, 0, 0, 1, 1, 0));
    EXPECT_EQ(native::get_window_rect(bad).right, 0);
    EXPECT_EQ(native::get_dc(bad), nullptr);
    EXPECT_EQ(native::window_surface(bad), nullptr);
    EXPECT_EQ(native::set_window_proc(bad, &native::def_window_proc), nullptr);
    EXPECT_EQ(native::set_active_window(bad), nullptr);
    EXPECT_EQ(native::set_focus(bad), nullptr);
    EXPECT_EQ(native::set_capture(bad), nullptr);
    EXPECT_EQ(native::get_menu(bad), nullptr);
    EXPECT_EQ(native::get_window(bad, native::GW_OWNER), nullptr);
  }
  EXPECT_EQ(native::create_window(0, u"Recorder", u"", native::WS_CHILD, 0, 0, 1, 1, w, nullptr, 0), nullptr);
  native::Menu* m = native::create_menu();
  native::destroy_menu(m);
  EXPECT_FALSE(native::append_menu(m, 0, 1, u"x"));
  EXPECT_EQ(native::get_menu_item_count(m), -1);
  EXPECT_FALSE(native::destroy_menu(reinterpret_cast<native::Menu*>(w)));

  // Handles are never reused, not even by a fresh window system.
  Window* before = make_window(10, 10);
  native::headless::install();
  native::WindowClassInfo info;
  info.procedure = &native::def_window_proc;
  info.name = u"Recorder";
  native::register_class(info);
  Window* after = make_window(10, 10);
  EXPECT_NE(before, after);
  EXPECT_FALSE(native::is_window(before));
}

}  // namespace
