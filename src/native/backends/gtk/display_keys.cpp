// The X server's own key state, read with XQueryKeymap: one round trip a
// query, over the keycodes the keyboard mapping gives each virtual key.
#include "native/backends/gtk/display_keys.h"

#include "native/backends/gtk/key_map.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

namespace native::gtk {
namespace {

constexpr int kKeycodes = 256;
using Keymap = std::array<char, kKeycodes / 8>;

struct DisplayKeys {
  GdkKeymap* keymap = nullptr;                       // whose mapping `codes` holds
  std::array<std::vector<std::uint8_t>, 256> codes;  // keycodes of each virtual key
  std::bitset<256> mapped;                           // virtual keys whose `codes` are filled in
  std::bitset<kKeycodes> disowned;                   // held as a dialog closed, until let go
};

DisplayKeys& keys() {
  static DisplayKeys k;
  return k;
}

void forget_mapping(GdkKeymap*, gpointer) { keys().mapped.reset(); }

GdkDisplay* x11_display() {
  GdkDisplay* display = gdk_display_get_default();
  return display && GDK_IS_X11_DISPLAY(display) ? display : nullptr;
}

const std::vector<std::uint8_t>& keycodes_for(GdkDisplay* display, std::uint8_t virtual_key) {
  DisplayKeys& k = keys();
  GdkKeymap* keymap = gdk_keymap_get_for_display(display);
  if (keymap != k.keymap) {
    // A new layout (setxkbmap, a keyboard plugged in) moves symbols to other keys.
    g_signal_connect(keymap, "keys-changed", G_CALLBACK(forget_mapping), nullptr);
    k.keymap = keymap;
    k.mapped.reset();
  }
  std::vector<std::uint8_t>& codes = k.codes[virtual_key];
  if (k.mapped[virtual_key]) return codes;
  codes.clear();
  for (unsigned keyval : keyvals_for_virtual_key(virtual_key)) {
    GdkKeymapKey* entries = nullptr;
    gint count = 0;
    if (!gdk_keymap_get_entries_for_keyval(keymap, keyval, &entries, &count)) continue;
    for (gint i = 0; i < count; ++i)
      if (entries[i].keycode < kKeycodes) codes.push_back(static_cast<std::uint8_t>(entries[i].keycode));
    g_free(entries);
  }
  k.mapped[virtual_key] = true;
  return codes;
}

bool held(const Keymap& map, int keycode) { return map[keycode / 8] & (1 << (keycode % 8)); }

Keymap query(GdkDisplay* display) {
  Keymap map{};
  XQueryKeymap(GDK_DISPLAY_XDISPLAY(display), map.data());
  return map;
}

}  // namespace

bool key_down_on_display(int virtual_key) {
  GdkDisplay* display = x11_display();
  if (!display || virtual_key <= 0 || virtual_key > 255) return false;
  const std::vector<std::uint8_t>& codes = keycodes_for(display, static_cast<std::uint8_t>(virtual_key));
  if (codes.empty()) return false;
  Keymap map = query(display);
  DisplayKeys& k = keys();
  for (int code = 0; code < kKeycodes; ++code)
    if (k.disowned[code] && !held(map, code)) k.disowned.reset(code);
  for (std::uint8_t code : codes)
    if (held(map, code) && !k.disowned[code]) return true;
  return false;
}

void disown_held_keys() {
  GdkDisplay* display = x11_display();
  if (!display) return;
  Keymap map = query(display);
  DisplayKeys& k = keys();
  for (int code = 0; code < kKeycodes; ++code)
    if (held(map, code)) k.disowned.set(code);
}

}  // namespace native::gtk
