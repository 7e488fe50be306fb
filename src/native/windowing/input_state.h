#pragma once
// Keys, pointer, capture, cursor, cursor confinement and mouse-leave tracking.
#include "native/graphics/device_context.h"
#include "native/windowing/messages.h"

#include <cstdint>

namespace native {

struct Window;
struct Cursor;

// Virtual keys.
constexpr std::uint8_t VK_LBUTTON = 0x01;
constexpr std::uint8_t VK_RBUTTON = 0x02;
constexpr std::uint8_t VK_MBUTTON = 0x04;
constexpr std::uint8_t VK_BACK = 0x08;
constexpr std::uint8_t VK_TAB = 0x09;
constexpr std::uint8_t VK_RETURN = 0x0D;
constexpr std::uint8_t VK_SHIFT = 0x10;
constexpr std::uint8_t VK_CONTROL = 0x11;
constexpr std::uint8_t VK_MENU = 0x12;
constexpr std::uint8_t VK_CAPITAL = 0x14;
constexpr std::uint8_t VK_ESCAPE = 0x1B;
constexpr std::uint8_t VK_SPACE = 0x20;
constexpr std::uint8_t VK_LEFT = 0x25;
constexpr std::uint8_t VK_UP = 0x26;
constexpr std::uint8_t VK_RIGHT = 0x27;
constexpr std::uint8_t VK_DOWN = 0x28;
constexpr std::uint8_t VK_DELETE = 0x2E;
constexpr std::uint8_t VK_NUMPAD0 = 0x60;
constexpr std::uint8_t VK_NUMPAD9 = 0x69;
constexpr std::uint8_t VK_F1 = 0x70;
constexpr std::uint8_t VK_F10 = 0x79;
constexpr std::uint8_t VK_LSHIFT = 0xA0;
constexpr std::uint8_t VK_RSHIFT = 0xA1;
constexpr std::uint8_t VK_LCONTROL = 0xA2;
constexpr std::uint8_t VK_RCONTROL = 0xA3;
constexpr std::uint8_t VK_LMENU = 0xA4;
constexpr std::uint8_t VK_RMENU = 0xA5;

// Standard cursors.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_UPARROW = 32516;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_NO = 32648;
constexpr int IDC_HAND = 32649;
constexpr int IDC_APPSTARTING = 32650;

constexpr std::uint32_t TME_LEAVE = 0x2;
constexpr std::uint32_t TME_CANCEL = 0x80000000;

// Key state as of the message being processed: bit 15 when down, bit 0
// toggled. Left/right variants of Shift, Control and Alt answer separately.
std::int16_t get_key_state(int virtual_key);
// Key state now, whatever message is being processed and whichever program
// has the keyboard, as far as the backend can tell.
std::int16_t get_async_key_state(int virtual_key);

Point get_cursor_pos();
bool set_cursor_pos(int x, int y);  // moves the pointer without input messages

Window* set_capture(Window* window);  // answers the previous capture window
bool release_capture();
Window* get_capture();

// A shared cursor for a standard identifier; null for anything else.
Cursor* load_cursor(int id);
int cursor_id(Cursor* cursor);       // 0 for null or a stale value
Cursor* set_cursor(Cursor* cursor);  // answers the previous one
Cursor* get_cursor();
// Confines the pointer to a screen rectangle; null frees it.
bool clip_cursor(const Rect* rect);
Rect get_clip_cursor();  // the whole screen when free

// One WM_MOUSELEAVE when the pointer leaves the window (at once when it is
// not over the window now). TME_CANCEL withdraws the request.
bool track_mouse_event(std::uint32_t flags, Window* window);

// MK_ bits for the buttons and keys held as of the current message.
std::uint32_t mouse_key_flags();

}  // namespace native
