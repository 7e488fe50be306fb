#include "ui/menus.h"

#include "native/system/heap.h"
#include "native/windowing/menu.h"
#include "native/windowing/window.h"

namespace {

ObjectTable* table = nullptr;
MenuBuildState* build = nullptr;

constexpr std::int32_t MENU_TABLE_STEP = 16;
constexpr std::u16string_view PREVIOUS_PROCEDURE = u"vx_menu_callback";

std::intptr_t release_menu(ObjectId number) { return free_menu(number); }

// Attaches the bar again so the window shows what was added.
std::intptr_t show_bar() {
  MenuRecord* menu = build ? build->menu : nullptr;
  if (!menu || !menu->window) return 0;
  return native::set_menu(menu->window, menu->bar);
}

// A window takes its menu bar with it when it goes: the records of that bar
// are forgotten, the native menu is the window's to destroy.
std::intptr_t menu_subclass_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam) {
  auto previous = reinterpret_cast<native::WindowProc>(native::get_prop(window, PREVIOUS_PROCEDURE));
  if (message == native::WM_NCDESTROY) {
    native::Menu* bar = native::get_menu(window);
    first_object(table);
    ObjectId id = 0;
    while (auto* record = static_cast<MenuRecord*>(next_object(table, &id))) {
      if (record->bar != bar) continue;
      if (record->private_heap) native::heap_destroy(record->private_heap);
      if (build && build->menu == record) build->menu = nullptr;
      free_object(table, id);
    }
    native::remove_prop(window, PREVIOUS_PROCEDURE);
  }
  return previous ? native::call_window_proc(previous, window, message, wparam, lparam)
                  : native::def_window_proc(window, message, wparam, lparam);
}

}  // namespace

void init_menus() {
  table = create_table(sizeof(MenuRecord), MENU_TABLE_STEP, release_menu);
  build = static_cast<MenuBuildState*>(allocate_state_block(sizeof(MenuBuildState), nullptr, nullptr));
}

ObjectTable* menu_table() { return table; }

ObjectId create_menu(ObjectId number, native::Window* window) {
  auto* record = static_cast<MenuRecord*>(allocate_object(table, number));
  if (!record || !build) return 0;
  ObjectId id = number == OBJECT_ANY ? handle_of(record) : number;
  native::Menu* bar = native::create_menu();
  if (!bar) {
    free_object(table, id);
    return 0;
  }
  record->bar = bar;
  record->window = window;
  build->menu = record;
  build->current = bar;
  if (window && !native::get_prop(window, PREVIOUS_PROCEDURE)) {
    native::WindowProc previous = native::set_window_proc(window, menu_subclass_procedure);
    native::set_prop(window, PREVIOUS_PROCEDURE, reinterpret_cast<void*>(previous));
  }
  return number == OBJECT_ANY ? id : reinterpret_cast<ObjectId>(bar);
}

native::Menu* open_sub_menu(std::u16string_view text, std::uintptr_t) {
  if (!build || !build->menu || build->depth >= MENU_STACK_DEPTH) return nullptr;
  native::Menu* drop_down = native::create_popup_menu();
  if (!drop_down) return nullptr;
  if (!native::append_menu(build->current, native::MF_POPUP, reinterpret_cast<std::uintptr_t>(drop_down), text)) {
    native::destroy_menu(drop_down);
    return nullptr;
  }
  build->stack[build->depth++] = build->current;
  build->current = drop_down;
  return drop_down;
}

std::intptr_t menu_title(std::u16string_view text) {
  if (!build || !build->menu) return 0;
  if (build->depth != 0) {
    build->depth = 0;
    build->current = build->menu->bar;
  }
  open_sub_menu(text);
  return show_bar();
}

std::intptr_t menu_item(std::uint32_t identifier, std::u16string_view text) {
  if (!build || !build->menu) return 0;
  native::append_menu(build->current, native::MF_STRING, identifier, text);
  return show_bar();
}

std::intptr_t menu_bar() {
  if (!build || !build->menu) return 0;
  return native::append_menu(build->current, native::MF_SEPARATOR, static_cast<std::uintptr_t>(-1), u"");
}

std::intptr_t set_menu_item_state(ObjectId menu, std::uint32_t item, bool checked) {
  auto* record = static_cast<MenuRecord*>(get_object(table, menu));
  if (!record) return 0;
  native::MenuItemInfo info;
  info.mask = native::MIIM_STATE;
  if (!native::get_menu_item_info(record->bar, item, false, info)) return 0;
  info.state = checked ? (info.state | native::MFS_CHECKED) : (info.state & ~native::MFS_CHECKED);
  info.mask = native::MIIM_STATE;
  return native::set_menu_item_info(record->bar, item, false, info);
}

std::int32_t get_menu_item_state(ObjectId menu, std::uint32_t item) {
  auto* record = static_cast<MenuRecord*>(get_object(table, menu));
  if (!record) return 0;
  native::MenuItemInfo info;
  info.mask = native::MIIM_STATE;
  if (!native::get_menu_item_info(record->bar, item, false, info)) return 0;
  return (info.state & native::MFS_CHECKED) ? 1 : 0;
}

std::intptr_t free_menu(ObjectId number) {
  if (number == OBJECT_ANY) {
    release_all(table);
    return 1;
  }
  auto* record = static_cast<MenuRecord*>(get_object(table, number));
  if (!record) return 0;
  if (record->window) native::set_menu(record->window, nullptr);
  native::destroy_menu(record->bar);
  if (record->private_heap) native::heap_destroy(record->private_heap);
  if (build && build->menu == record) build->menu = nullptr;
  free_object(table, number);
  return 1;
}
