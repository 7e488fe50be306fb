// Accelerator tables and key-to-command translation.
#include "native/windowing/accelerator.h"

#include "native/windowing/input_state.h"
#include "native/windowing/menu.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace native {
namespace {

std::uintptr_t next_table = 0x2000000C;

std::unordered_map<const void*, std::vector<Accel>>& tables() {
  static std::unordered_map<const void*, std::vector<Accel>> all;
  return all;
}

const std::vector<Accel>* find_table(const AccelTable* table) {
  auto it = tables().find(table);
  return it == tables().end() ? nullptr : &it->second;
}

bool down(int key) { return get_key_state(key) < 0; }

bool modifiers_match(std::uint8_t flags, bool alt) {
  return ((flags & FSHIFT) != 0) == down(VK_SHIFT) && ((flags & FCONTROL) != 0) == down(VK_CONTROL) &&
         ((flags & FALT) != 0) == alt;
}

}  // namespace

namespace detail {
void reset_accelerators() { tables().clear(); }
}  // namespace detail

AccelTable* create_accelerator_table(const Accel* entries, int count) {
  if (!entries || count < 1) return nullptr;
  next_table += 0x10;
  auto* handle = reinterpret_cast<AccelTable*>(next_table);
  tables().emplace(handle, std::vector<Accel>(entries, entries + count));
  return handle;
}

bool destroy_accelerator_table(AccelTable* table) { return tables().erase(table) == 1; }

int copy_accelerator_table(AccelTable* table, Accel* out, int capacity) {
  const std::vector<Accel>* entries = find_table(table);
  if (!entries) return 0;
  if (!out) return static_cast<int>(entries->size());
  int n = std::min(capacity, static_cast<int>(entries->size()));
  for (int i = 0; i < n; ++i) out[i] = (*entries)[static_cast<std::size_t>(i)];
  return n;
}

int translate_accelerator(Window* window, AccelTable* table, const Message& message) {
  const std::vector<Accel>* entries = find_table(table);
  if (!entries || !is_window(window)) return 0;
  bool virtual_key = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  bool character = message.message == WM_CHAR || message.message == WM_SYSCHAR;
  if (!virtual_key && !character) return 0;
  bool system = message.message == WM_SYSKEYDOWN || message.message == WM_SYSCHAR;
  for (const Accel& entry : *entries) {
    if (((entry.flags & FVIRTKEY) != 0) != virtual_key || entry.key != message.wparam) continue;
    if (virtual_key ? !modifiers_match(entry.flags, down(VK_MENU)) : ((entry.flags & FALT) != 0) != system) continue;
    // A command whose menu item is greyed out is swallowed, not sent.
    Menu* bar = get_menu(get_ancestor_root(window));
    int state = bar ? get_menu_state(bar, entry.cmd, MF_BYCOMMAND) : -1;
    if (state != -1 && (state & MFS_GRAYED)) return 1;
    send_message(window, WM_COMMAND, make_wparam(entry.cmd, 1), 0);
    return 1;
  }
  return 0;
}

}  // namespace native
