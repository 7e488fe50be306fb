// Key symbols to virtual keys and back.
#include "native/backends/gtk/key_map.h"

#include "native/windowing/input_state.h"

#include <gdk/gdk.h>
#include <gdk/gdkkeysyms.h>

#include <span>

namespace native::gtk {
namespace {

struct KeyPair {
  guint keyval;
  std::uint8_t key;
};

constexpr KeyPair kKeys[] = {
    {GDK_KEY_BackSpace, VK_BACK},
    {GDK_KEY_Tab, VK_TAB},
    {GDK_KEY_ISO_Left_Tab, VK_TAB},
    {GDK_KEY_Return, VK_RETURN},
    {GDK_KEY_KP_Enter, VK_RETURN},
    {GDK_KEY_Shift_L, VK_SHIFT},
    {GDK_KEY_Shift_R, VK_SHIFT},
    {GDK_KEY_Control_L, VK_CONTROL},
    {GDK_KEY_Control_R, VK_CONTROL},
    {GDK_KEY_Alt_L, VK_MENU},
    {GDK_KEY_Alt_R, VK_MENU},
    {GDK_KEY_Meta_L, VK_MENU},
    {GDK_KEY_Meta_R, VK_MENU},
    {GDK_KEY_ISO_Level3_Shift, VK_MENU},
    {GDK_KEY_Pause, 0x13},
    {GDK_KEY_Caps_Lock, VK_CAPITAL},
    {GDK_KEY_Escape, VK_ESCAPE},
    {GDK_KEY_space, VK_SPACE},
    {GDK_KEY_KP_Space, VK_SPACE},
    {GDK_KEY_Page_Up, 0x21},
    {GDK_KEY_KP_Page_Up, 0x21},
    {GDK_KEY_Page_Down, 0x22},
    {GDK_KEY_KP_Page_Down, 0x22},
    {GDK_KEY_End, 0x23},
    {GDK_KEY_KP_End, 0x23},
    {GDK_KEY_Home, 0x24},
    {GDK_KEY_KP_Home, 0x24},
    {GDK_KEY_Left, VK_LEFT},
    {GDK_KEY_KP_Left, VK_LEFT},
    {GDK_KEY_Up, VK_UP},
    {GDK_KEY_KP_Up, VK_UP},
    {GDK_KEY_Right, VK_RIGHT},
    {GDK_KEY_KP_Right, VK_RIGHT},
    {GDK_KEY_Down, VK_DOWN},
    {GDK_KEY_KP_Down, VK_DOWN},
    {GDK_KEY_Print, 0x2C},
    {GDK_KEY_Insert, 0x2D},
    {GDK_KEY_KP_Insert, 0x2D},
    {GDK_KEY_Delete, VK_DELETE},
    {GDK_KEY_KP_Delete, VK_DELETE},
    {GDK_KEY_Super_L, 0x5B},
    {GDK_KEY_Super_R, 0x5C},
    {GDK_KEY_Menu, 0x5D},
    {GDK_KEY_KP_Multiply, 0x6A},
    {GDK_KEY_KP_Add, 0x6B},
    {GDK_KEY_KP_Separator, 0x6C},
    {GDK_KEY_KP_Subtract, 0x6D},
    {GDK_KEY_KP_Decimal, 0x6E},
    {GDK_KEY_KP_Divide, 0x6F},
    {GDK_KEY_Num_Lock, 0x90},
    {GDK_KEY_Scroll_Lock, 0x91},
    {GDK_KEY_semicolon, 0xBA},
    {GDK_KEY_equal, 0xBB},
    {GDK_KEY_comma, 0xBC},
    {GDK_KEY_minus, 0xBD},
    {GDK_KEY_period, 0xBE},
    {GDK_KEY_slash, 0xBF},
    {GDK_KEY_grave, 0xC0},
    {GDK_KEY_bracketleft, 0xDB},
    {GDK_KEY_backslash, 0xDC},
    {GDK_KEY_bracketright, 0xDD},
    {GDK_KEY_apostrophe, 0xDE},
};

// The core knows which side of Shift, Control and Alt was pressed only
// through the generic key; the display knows each key apart.
constexpr KeyPair kSides[] = {
    {GDK_KEY_Shift_L, VK_LSHIFT},     {GDK_KEY_Shift_R, VK_RSHIFT}, {GDK_KEY_Control_L, VK_LCONTROL},
    {GDK_KEY_Control_R, VK_RCONTROL}, {GDK_KEY_Alt_L, VK_LMENU},    {GDK_KEY_Meta_L, VK_LMENU},
    {GDK_KEY_Alt_R, VK_RMENU},        {GDK_KEY_Meta_R, VK_RMENU},   {GDK_KEY_ISO_Level3_Shift, VK_RMENU},
};

void add_range(std::vector<unsigned>& out, std::uint8_t key, std::uint8_t first_key, std::uint8_t last_key,
               unsigned first_keyval) {
  if (key >= first_key && key <= last_key) out.push_back(first_keyval + (key - first_key));
}

}  // namespace

std::uint8_t virtual_key_for_keyval(unsigned keyval) {
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return static_cast<std::uint8_t>('A' + (keyval - GDK_KEY_a));
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return static_cast<std::uint8_t>('A' + (keyval - GDK_KEY_A));
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return static_cast<std::uint8_t>('0' + (keyval - GDK_KEY_0));
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
    return static_cast<std::uint8_t>(VK_NUMPAD0 + (keyval - GDK_KEY_KP_0));
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return static_cast<std::uint8_t>(VK_F1 + (keyval - GDK_KEY_F1));
  for (const KeyPair& pair : kKeys)
    if (pair.keyval == keyval) return pair.key;
  return 0;
}

std::vector<unsigned> keyvals_for_virtual_key(std::uint8_t key) {
  std::vector<unsigned> out;
  add_range(out, key, 'A', 'Z', GDK_KEY_a);
  add_range(out, key, 'A', 'Z', GDK_KEY_A);
  add_range(out, key, '0', '9', GDK_KEY_0);
  add_range(out, key, VK_NUMPAD0, VK_NUMPAD9, GDK_KEY_KP_0);
  add_range(out, key, VK_F1, static_cast<std::uint8_t>(VK_F1 + (GDK_KEY_F24 - GDK_KEY_F1)), GDK_KEY_F1);
  for (const auto& table : {std::span<const KeyPair>(kKeys), std::span<const KeyPair>(kSides)})
    for (const KeyPair& pair : table)
      if (pair.key == key) out.push_back(pair.keyval);
  return out;
}

std::uint8_t virtual_key_for(const GdkEventKey& event) {
  // The unshifted symbol of the first layout group names the physical key.
  guint base = 0;
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event.window));
  if (gdk_keymap_translate_keyboard_state(keymap, event.hardware_keycode, GdkModifierType(0), 0, &base, nullptr,
                                          nullptr, nullptr)) {
    bool letter_or_digit = (base >= GDK_KEY_a && base <= GDK_KEY_z) || (base >= GDK_KEY_0 && base <= GDK_KEY_9);
    if (letter_or_digit) return virtual_key_for_keyval(base);
  }
  if (std::uint8_t key = virtual_key_for_keyval(event.keyval)) return key;
  return virtual_key_for_keyval(base);
}

}  // namespace native::gtk
