#pragma once
// GDK key events to the core's virtual keys.
#include <cstdint>

typedef struct _GdkEventKey GdkEventKey;

namespace native::gtk {

// The virtual key for the event, 0 when there is none. Letters and digits
// are read off the base layout, so Ctrl+O is Ctrl+O whatever layout or
// Shift level is in use.
std::uint8_t virtual_key_for(const GdkEventKey& event);
// The virtual key for one key symbol, 0 when there is none.
std::uint8_t virtual_key_for_keyval(unsigned keyval);

}  // namespace native::gtk
