#pragma once
// Menu bars with drop-downs, items, separators and check marks. A menu is
// built in order: create_menu, then titles, items and separators, each
// landing in the drop-down opened last.
#include "runtime/object_table.h"

#include <cstdint>
#include <string_view>

namespace native {
struct Heap;
struct Menu;
struct Window;
}  // namespace native

struct MenuRecord {
  native::Menu* bar;
  native::Window* window;   // the window showing the bar, or none
  std::int32_t image_menu;  // menus drawing their own items; never made here
  native::Heap* private_heap;
  std::uint32_t item_style;
};

constexpr int MENU_STACK_DEPTH = 64;

struct MenuBuildState {
  MenuRecord* menu;
  native::Menu* current;  // receives new items
  native::Menu* stack[MENU_STACK_DEPTH];
  std::int32_t depth;
};

void init_menus();
ObjectTable* menu_table();

// Answers the bar's handle for a number, the identity for OBJECT_ANY, 0 on
// failure. The bar is shown from the first title on.
ObjectId create_menu(ObjectId number, native::Window* window);
std::intptr_t menu_title(std::u16string_view text);
std::intptr_t menu_item(std::uint32_t identifier, std::u16string_view text);
std::intptr_t menu_bar();
native::Menu* open_sub_menu(std::u16string_view text, std::uintptr_t image = 0);

// Check marks, by item identifier across every drop-down of the bar.
std::intptr_t set_menu_item_state(ObjectId menu, std::uint32_t item, bool checked);
std::int32_t get_menu_item_state(ObjectId menu, std::uint32_t item);

// 0 when the number names no menu; OBJECT_ANY frees every menu.
std::intptr_t free_menu(ObjectId number);
