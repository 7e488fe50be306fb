#pragma once
// The user's input as a backend reports it. Each call updates the key and
// pointer state at once and queues the messages the native system would,
// stamped with the current time and pointer position; processing that
// belongs to the moment a message is fetched (activation by click, the
// cursor query) happens when the queue hands the message out.
#include "native/windowing/messages.h"

#include <cstdint>

namespace native {

enum class MouseButton { left, right, middle };

// Shift, Control and Alt also move their left-hand variants. Key messages go
// to the focus window, else the active window; Alt turns them into the
// system variants, as does F10.
void input_key(std::uint8_t virtual_key, bool down);
// Whether the key is down as reported through input_key, that is in our own
// windows, without asking the backend about the rest of the display.
bool reported_key_down(std::uint8_t virtual_key);
// Moves the pointer (clamped to the confinement): WM_MOUSELEAVE for a
// tracked window it left, WM_MOUSEMOVE to the capture or the window under it.
void input_mouse_move(Point screen);
// Moves to the point first when needed. A second press within the
// double-click time and distance on a window whose class has CS_DBLCLKS
// becomes the double-click message.
void input_mouse_button(MouseButton button, bool down, Point screen);
// WM_MOUSEWHEEL to the focus window (else the active one); delta in the high
// word of wParam, 120 per notch.
void input_wheel(int delta);

// The window whose client area is under the pointer (null over a frame, a
// menu bar, or nothing of ours).
Window* window_under_pointer();

namespace detail {
// Fetch-time processing of an input message; false when it is eaten.
bool process_input_message(const Message& message);
}  // namespace detail

}  // namespace native
