#pragma once
// GDK key events to the core's virtual keys, and virtual keys back to the
// key symbols that make them.
#include <cstdint>
#include <vector>

typedef struct _GdkEventKey GdkEventKey;

namespace native::gtk {

// The virtual key for the event, 0 when there is none. Letters and digits
// are read off the base layout, so Ctrl+O is Ctrl+O whatever layout or
// Shift level is in use.
std::uint8_t virtual_key_for(const GdkEventKey& event);
// The virtual key for one key symbol, 0 when there is none.
std::uint8_t virtual_key_for_keyval(unsigned keyval);
// The key symbols whose keys make the virtual key, none for a key the
// keyboard does not have (mouse buttons); the left and right variants of
// Shift, Control and Alt name their own side only.
std::vector<unsigned> keyvals_for_virtual_key(std::uint8_t virtual_key);

}  // namespace native::gtk
