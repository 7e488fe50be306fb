#include "ui/keyboard_shortcuts.h"

#include "ui/keyboard_navigation.h"
#include "ui/windows.h"

#include "runtime/general_heap.h"

#include "native/system/heap.h"
#include "native/windowing/accelerator.h"
#include "native/windowing/input_state.h"
#include "native/windowing/window.h"

namespace {

constexpr std::uint32_t RICH_TEXT_OPTIONS = 0x44E;
constexpr std::intptr_t READ_ONLY_OPTION = 0x800;

bool down(int key) { return native::get_key_state(key) < 0; }

bool any_modifier_down() { return down(native::VK_CONTROL) || down(native::VK_SHIFT) || down(native::VK_MENU); }

// An editable rich text control takes Tab itself.
bool text_wants_tab(native::Window* focus) {
  if (!focus || !down(native::VK_TAB) || any_modifier_down()) return false;
  if (native::get_class_name(focus).substr(0, 4) != u"Rich") return false;
  return !(native::send_message(focus, RICH_TEXT_OPTIONS, 0, 0) & READ_ONLY_OPTION);
}

}  // namespace

native::AccelTable* add_keyboard_shortcut(ObjectId window, std::uint32_t shortcut, std::uint32_t event) {
  WindowRecord* record = window_record(window);
  if (!record) return nullptr;
  std::uint8_t flags = native::FVIRTKEY | native::FNOINVERT;
  if (shortcut & SHORTCUT_SHIFT) flags |= native::FSHIFT;
  if (shortcut & SHORTCUT_CONTROL) flags |= native::FCONTROL;
  if (shortcut & SHORTCUT_ALT) flags |= native::FALT;
  auto key = static_cast<std::uint16_t>(shortcut);
  auto command = static_cast<std::uint16_t>(event);

  bool replaced = false;
  for (std::int32_t i = 0; i < record->accelerator_count; ++i) {
    native::Accel& entry = record->accelerators[i];
    if (entry.key == key && entry.flags == flags) {
      entry.cmd = command;
      replaced = true;
      break;
    }
  }
  if (!replaced) {
    std::size_t bytes = sizeof(native::Accel) * static_cast<std::size_t>(record->accelerator_count + 1);
    auto* grown = static_cast<native::Accel*>(native::heap_realloc(general_heap(), record->accelerators, bytes, true));
    if (!grown) return record->accelerator_table;
    grown[record->accelerator_count++] = {flags, key, command};
    record->accelerators = grown;
  }
  native::destroy_accelerator_table(record->accelerator_table);
  record->accelerator_table = native::create_accelerator_table(record->accelerators, record->accelerator_count);
  return record->accelerator_table;
}

native::AccelTable* choose_accelerator_table() {
  native::Window* focus = native::get_focus();
  if (text_wants_tab(focus)) return nullptr;
  native::Window* active = native::get_active_window();
  if (active && any_modifier_down()) show_keyboard_cues(active);
  if (focus && native::get_prop(focus, u"VX_Hotkey")) return nullptr;
  if (!active || !native::get_prop(active, WINDOW_ID_PROPERTY)) return nullptr;
  // Windows here all belong to this process; the record must still exist.
  WindowRecord* record = window_record(window_number_of(active));
  return record ? record->accelerator_table : nullptr;
}
