#include "window_test_support.h"

#include "native/system/text.h"
#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"

#include <map>

namespace wintest {
namespace {

std::vector<Record> log_;
std::set<std::uint32_t> only_;
Handler handler_;

std::intptr_t recording_proc(native::Window* w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
  if (only_.empty() || only_.contains(m)) log_.push_back({w, m, wp, lp});
  if (handler_)
    if (auto answer = handler_(w, m, wp, lp)) return *answer;
  return native::def_window_proc(w, m, wp, lp);
}

}  // namespace

std::string message_name(std::uint32_t m) {
  static const std::map<std::uint32_t, const char*> names = {{1, "WM_CREATE"},
                                                             {2, "WM_DESTROY"},
                                                             {3, "WM_MOVE"},
                                                             {5, "WM_SIZE"},
                                                             {6, "WM_ACTIVATE"},
                                                             {7, "WM_SETFOCUS"},
                                                             {8, "WM_KILLFOCUS"},
                                                             {10, "WM_ENABLE"},
                                                             {15, "WM_PAINT"},
                                                             {16, "WM_CLOSE"},
                                                             {18, "WM_QUIT"},
                                                             {20, "WM_ERASEBKGND"},
                                                             {24, "WM_SHOWWINDOW"},
                                                             {32, "WM_SETCURSOR"},
                                                             {33, "WM_MOUSEACTIVATE"},
                                                             {36, "WM_GETMINMAXINFO"},
                                                             {129, "WM_NCCREATE"},
                                                             {130, "WM_NCDESTROY"},
                                                             {256, "WM_KEYDOWN"},
                                                             {257, "WM_KEYUP"},
                                                             {258, "WM_CHAR"},
                                                             {260, "WM_SYSKEYDOWN"},
                                                             {261, "WM_SYSKEYUP"},
                                                             {262, "WM_SYSCHAR"},
                                                             {273, "WM_COMMAND"},
                                                             {274, "WM_SYSCOMMAND"},
                                                             {512, "WM_MOUSEMOVE"},
                                                             {513, "WM_LBUTTONDOWN"},
                                                             {514, "WM_LBUTTONUP"},
                                                             {515, "WM_LBUTTONDBLCLK"},
                                                             {516, "WM_RBUTTONDOWN"},
                                                             {517, "WM_RBUTTONUP"},
                                                             {518, "WM_RBUTTONDBLCLK"},
                                                             {522, "WM_MOUSEWHEEL"},
                                                             {533, "WM_CAPTURECHANGED"},
                                                             {675, "WM_MOUSELEAVE"}};
  auto it = names.find(m);
  return it != names.end() ? it->second : "message " + std::to_string(m);
}

void PrintTo(const Record& r, std::ostream* out) { *out << r; }

std::ostream& operator<<(std::ostream& out, const Record& r) {
  return out << "{" << r.window << " " << message_name(r.message) << " wParam 0x" << std::hex << r.wparam
             << " lParam 0x" << r.lparam << std::dec << "}";
}

void WindowTest::SetUp() {
  log_.clear();
  only_.clear();
  handler_ = nullptr;
  native::headless::install();
  native::WindowClassInfo info;
  info.style = native::CS_DBLCLKS;
  info.procedure = &recording_proc;
  info.background = native::COLOR_WINDOW + 1;
  info.cursor = native::load_cursor(native::IDC_ARROW);
  info.name = u"Recorder";
  ASSERT_TRUE(native::register_class(info));
  info.style = 0;
  info.name = u"Plain";
  ASSERT_TRUE(native::register_class(info));
}

void WindowTest::TearDown() {
  handler_ = nullptr;
  native::shutdown();
  log_.clear();
}

void WindowTest::record_only(std::initializer_list<std::uint32_t> messages) {
  only_ = messages;
  log_.clear();
}

std::vector<Record> WindowTest::take_log() { return std::exchange(log_, {}); }

void WindowTest::handle(Handler handler) { handler_ = std::move(handler); }

native::Window* WindowTest::make_window(int client_width, int client_height, std::uint32_t style,
                                        const char16_t* class_name) {
  native::Rect r{0, 0, client_width, client_height};
  native::adjust_window_rect_ex(r, style, false, 0);
  return native::create_window(0, class_name, u"test", style, 100, 100, r.right - r.left, r.bottom - r.top, nullptr,
                               nullptr, 0);
}

native::Window* WindowTest::make_child(native::Window* parent, int x, int y, int width, int height, std::uint32_t style,
                                       const char16_t* class_name) {
  return native::create_window(0, class_name, u"", style, x, y, width, height, parent, nullptr, 7);
}

int WindowTest::pump() {
  native::Message m;
  int n = 0;
  while (native::peek_message(m, nullptr, 0, 0, native::PM_REMOVE)) {
    native::translate_message(m);
    native::dispatch_message(m);
    if (++n > 1000) break;  // a window that never validates
  }
  return n;
}

}  // namespace wintest
