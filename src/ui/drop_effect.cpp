#include "ui/drop_effect.h"

std::uint32_t choose_drop_effect(std::uint32_t key_state, std::uint32_t accepted, std::uint32_t allowed) {
  std::uint32_t both = accepted & allowed;
  std::uint32_t mods = key_state & (KEY_SHIFT | KEY_CONTROL | KEY_ALT);
  if ((both & DROP_LINK) && (mods == (KEY_CONTROL | KEY_SHIFT) || mods == KEY_ALT)) return DROP_LINK;
  if ((both & DROP_MOVE) && (mods == KEY_SHIFT || !(both & DROP_COPY))) return DROP_MOVE;
  if (both & DROP_COPY) return DROP_COPY;
  if (both & DROP_LINK) return DROP_LINK;
  return DROP_NONE;
}
