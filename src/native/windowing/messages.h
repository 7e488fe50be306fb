#pragma once
// Message numbers, their parameter packing, and the message record that the
// queue hands out. The numbers are the ones the runtime was written against.
#include <cstdint>

namespace native {

struct Window;

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

using WindowProc = std::intptr_t (*)(Window* window, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam);

// One fetched message: time in milliseconds since the core started, point in
// screen coordinates as the pointer stood when the message was queued.
struct Message {
  Window* window = nullptr;
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
  std::uint32_t time = 0;
  Point point;
};

constexpr std::uint32_t WM_NULL = 0;
constexpr std::uint32_t WM_CREATE = 1;
constexpr std::uint32_t WM_DESTROY = 2;
constexpr std::uint32_t WM_MOVE = 3;
constexpr std::uint32_t WM_SIZE = 5;
constexpr std::uint32_t WM_ACTIVATE = 6;
constexpr std::uint32_t WM_SETFOCUS = 7;
constexpr std::uint32_t WM_KILLFOCUS = 8;
constexpr std::uint32_t WM_ENABLE = 10;
constexpr std::uint32_t WM_SETTEXT = 12;
constexpr std::uint32_t WM_PAINT = 15;
constexpr std::uint32_t WM_CLOSE = 16;
constexpr std::uint32_t WM_QUIT = 18;
constexpr std::uint32_t WM_ERASEBKGND = 20;
constexpr std::uint32_t WM_SYSCOLORCHANGE = 21;
constexpr std::uint32_t WM_SHOWWINDOW = 24;
constexpr std::uint32_t WM_SETCURSOR = 32;
constexpr std::uint32_t WM_MOUSEACTIVATE = 33;
constexpr std::uint32_t WM_GETMINMAXINFO = 36;
constexpr std::uint32_t WM_SETFONT = 48;
constexpr std::uint32_t WM_NOTIFY = 78;
constexpr std::uint32_t WM_NCCREATE = 129;
constexpr std::uint32_t WM_NCDESTROY = 130;
constexpr std::uint32_t WM_NCMOUSEMOVE = 160;
constexpr std::uint32_t WM_KEYDOWN = 256;
constexpr std::uint32_t WM_KEYUP = 257;
constexpr std::uint32_t WM_CHAR = 258;
constexpr std::uint32_t WM_SYSKEYDOWN = 260;
constexpr std::uint32_t WM_SYSKEYUP = 261;
constexpr std::uint32_t WM_SYSCHAR = 262;
constexpr std::uint32_t WM_COMMAND = 273;
constexpr std::uint32_t WM_SYSCOMMAND = 274;
constexpr std::uint32_t WM_TIMER = 275;
constexpr std::uint32_t WM_HSCROLL = 276;
constexpr std::uint32_t WM_VSCROLL = 277;
constexpr std::uint32_t WM_INITMENU = 278;
constexpr std::uint32_t WM_MENUCHAR = 288;
constexpr std::uint32_t WM_UPDATEUISTATE = 296;
constexpr std::uint32_t WM_QUERYUISTATE = 297;
constexpr std::uint32_t WM_CTLCOLOREDIT = 307;
constexpr std::uint32_t WM_CTLCOLORLISTBOX = 308;
constexpr std::uint32_t WM_CTLCOLORBTN = 309;
constexpr std::uint32_t WM_CTLCOLORSTATIC = 312;
constexpr std::uint32_t WM_MOUSEMOVE = 512;
constexpr std::uint32_t WM_LBUTTONDOWN = 513;
constexpr std::uint32_t WM_LBUTTONUP = 514;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 515;
constexpr std::uint32_t WM_RBUTTONDOWN = 516;
constexpr std::uint32_t WM_RBUTTONUP = 517;
constexpr std::uint32_t WM_RBUTTONDBLCLK = 518;
constexpr std::uint32_t WM_MBUTTONDOWN = 519;
constexpr std::uint32_t WM_MBUTTONUP = 520;
constexpr std::uint32_t WM_MBUTTONDBLCLK = 521;
constexpr std::uint32_t WM_MOUSEWHEEL = 522;
constexpr std::uint32_t WM_CAPTURECHANGED = 533;
constexpr std::uint32_t WM_MOUSELEAVE = 675;
constexpr std::uint32_t WM_PRINT = 791;
constexpr std::uint32_t WM_PRINTCLIENT = 792;
constexpr std::uint32_t WM_USER = 0x400;

// WM_SIZE kinds.
constexpr std::uintptr_t SIZE_RESTORED = 0;
constexpr std::uintptr_t SIZE_MINIMIZED = 1;
constexpr std::uintptr_t SIZE_MAXIMIZED = 2;

// WM_ACTIVATE kinds (low word of wParam).
constexpr std::uintptr_t WA_INACTIVE = 0;
constexpr std::uintptr_t WA_ACTIVE = 1;
constexpr std::uintptr_t WA_CLICKACTIVE = 2;

// WM_MOUSEACTIVATE answers.
constexpr std::intptr_t MA_ACTIVATE = 1;
constexpr std::intptr_t MA_ACTIVATEANDEAT = 2;
constexpr std::intptr_t MA_NOACTIVATE = 3;
constexpr std::intptr_t MA_NOACTIVATEANDEAT = 4;

// Hit-test codes carried by WM_SETCURSOR, WM_MOUSEACTIVATE and
// WM_NCMOUSEMOVE.
constexpr std::uint16_t HTCLIENT = 1;
constexpr std::uint16_t HTMENU = 5;
constexpr std::uint16_t HTBORDER = 18;

// WM_SYSCOMMAND commands.
constexpr std::uintptr_t SC_MINIMIZE = 0xF020;
constexpr std::uintptr_t SC_MAXIMIZE = 0xF030;
constexpr std::uintptr_t SC_CLOSE = 0xF060;
constexpr std::uintptr_t SC_RESTORE = 0xF120;

// Mouse-message key flags (wParam of mouse messages, drag key state).
constexpr std::uint32_t MK_LBUTTON = 0x1;
constexpr std::uint32_t MK_RBUTTON = 0x2;
constexpr std::uint32_t MK_SHIFT = 0x4;
constexpr std::uint32_t MK_CONTROL = 0x8;
constexpr std::uint32_t MK_MBUTTON = 0x10;
constexpr std::uint32_t MK_ALT = 0x20;

// Fetch flags.
constexpr std::uint32_t PM_NOREMOVE = 0;
constexpr std::uint32_t PM_REMOVE = 1;
constexpr std::uint32_t PM_NOYIELD = 2;

constexpr std::uint32_t WAIT_OBJECT_0 = 0;
constexpr std::uint32_t WAIT_TIMEOUT = 258;
constexpr std::uint32_t INFINITE = 0xFFFFFFFF;
constexpr std::uint32_t QS_ALLINPUT = 0x4FF;
constexpr std::uint32_t QS_ALLPOSTMESSAGE = 0x100;

// Size limits answered by WM_GETMINMAXINFO.
struct MinMaxInfo {
  Point reserved;
  Point max_size;
  Point max_position;
  Point min_track_size;
  Point max_track_size;
};

constexpr std::uintptr_t make_wparam(std::uint16_t low, std::uint16_t high) {
  return static_cast<std::uintptr_t>(low) | static_cast<std::uintptr_t>(high) << 16;
}
// Two signed 16-bit values packed as the low and high word.
constexpr std::intptr_t make_lparam(int low, int high) {
  return static_cast<std::intptr_t>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(low)) |
                                    static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16);
}
constexpr std::uint16_t low_word(std::uintptr_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }
constexpr std::uint16_t high_word(std::uintptr_t value) { return static_cast<std::uint16_t>(value >> 16 & 0xFFFF); }
// The signed coordinates of a packed point.
constexpr int x_of(std::uintptr_t packed) { return static_cast<std::int16_t>(low_word(packed)); }
constexpr int y_of(std::uintptr_t packed) { return static_cast<std::int16_t>(high_word(packed)); }

}  // namespace native
