#pragma once
// What the viewer does for each menu command and for a drop.
#include <cstdint>
#include <string>
#include <string_view>

// Menu items, numbered as the events they raise.
constexpr std::int32_t MENU_OPEN = 0;
constexpr std::int32_t MENU_SAVE = 1;
constexpr std::int32_t MENU_QUIT = 2;
constexpr std::int32_t MENU_SCALE_1 = 3;
constexpr std::int32_t MENU_SCALE_2 = 4;

void open_command();
void save_command();
// Switches to the scale of the item unless it is checked already.
void scale_command(std::int32_t item);
void drop_command();

// The loaded name without its last "." and what follows it.
std::u16string default_save_name(std::u16string_view file_name);
// The chosen name, with ".png" added unless it already ends in "png" in
// any case.
std::u16string png_save_name(std::u16string_view answer);
