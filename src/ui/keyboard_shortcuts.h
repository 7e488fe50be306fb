#pragma once
// Keyboard shortcuts: a key with modifiers bound to an event identifier in a
// window's accelerator table, so that it arrives exactly like the menu item
// with the same identifier.
#include "runtime/object_table.h"

#include <cstdint>

namespace native {
struct AccelTable;
struct Window;
}  // namespace native

// Modifier bits above the 16-bit virtual-key code.
constexpr std::uint32_t SHORTCUT_SHIFT = 0x10000;
constexpr std::uint32_t SHORTCUT_CONTROL = 0x20000;
constexpr std::uint32_t SHORTCUT_ALT = 0x40000;

// Binding a key and modifiers already bound replaces the identifier. Answers
// the window's new table, null when the window does not exist.
native::AccelTable* add_keyboard_shortcut(ObjectId window, std::uint32_t shortcut, std::uint32_t event);

// The table to translate the next message with: the active window's, unless
// a text control or a shortcut-entry control wants the keys.
native::AccelTable* choose_accelerator_table();
