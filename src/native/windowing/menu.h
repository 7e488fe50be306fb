#pragma once
// Menus: bars and drop-downs holding items with identifiers, texts,
// separators, sub-menus and check state. Handles are opaque and validated.
#include <cstdint>
#include <string>
#include <string_view>

namespace native {

struct Window;
struct Menu;

constexpr std::uint32_t MF_STRING = 0x0;
constexpr std::uint32_t MF_GRAYED = 0x1;
constexpr std::uint32_t MF_DISABLED = 0x2;
constexpr std::uint32_t MF_CHECKED = 0x8;
constexpr std::uint32_t MF_POPUP = 0x10;
constexpr std::uint32_t MF_OWNERDRAW = 0x100;
constexpr std::uint32_t MF_SEPARATOR = 0x800;
constexpr std::uint32_t MF_BYCOMMAND = 0x0;
constexpr std::uint32_t MF_BYPOSITION = 0x400;

constexpr std::uint32_t MIIM_STATE = 0x1;
constexpr std::uint32_t MIIM_ID = 0x2;
constexpr std::uint32_t MIIM_SUBMENU = 0x4;
constexpr std::uint32_t MIIM_DATA = 0x20;
constexpr std::uint32_t MIIM_STRING = 0x40;
constexpr std::uint32_t MIIM_FTYPE = 0x100;

constexpr std::uint32_t MFT_STRING = 0x0;
constexpr std::uint32_t MFT_OWNERDRAW = 0x100;
constexpr std::uint32_t MFT_SEPARATOR = 0x800;

constexpr std::uint32_t MFS_GRAYED = 0x3;
constexpr std::uint32_t MFS_CHECKED = 0x8;

struct MenuItemInfo {
  std::uint32_t mask = 0;
  std::uint32_t type = 0;   // MFT_
  std::uint32_t state = 0;  // MFS_
  std::uint32_t id = 0;
  Menu* submenu = nullptr;
  std::uintptr_t data = 0;
  std::u16string text;
};

Menu* create_menu();        // a bar
Menu* create_popup_menu();  // a drop-down
// Destroys the menu and every drop-down under it; a bar still attached to a
// window is detached first.
bool destroy_menu(Menu* menu);
bool is_menu(Menu* menu);
// `id_or_popup` is the item identifier, or the drop-down (cast) with
// MF_POPUP. `item_data` is kept for owner-drawn items.
bool append_menu(Menu* menu, std::uint32_t flags, std::uintptr_t id_or_popup, std::u16string_view text,
                 std::uintptr_t item_data = 0);
// Attaches a bar (null detaches); the client area shrinks by the bar height.
bool set_menu(Window* window, Menu* menu);
Menu* get_menu(Window* window);
int get_menu_item_count(Menu* menu);  // -1 for a stale menu
Menu* get_sub_menu(Menu* menu, int position);
// By position, or by identifier searching every drop-down under the menu.
bool get_menu_item_info(Menu* menu, std::uint32_t item, bool by_position, MenuItemInfo& info);
bool set_menu_item_info(Menu* menu, std::uint32_t item, bool by_position, const MenuItemInfo& info);
// Answers the previous MF_CHECKED state, or -1 when there is no such item.
int check_menu_item(Menu* menu, std::uint32_t item, std::uint32_t flags);
// The item's state bits, or -1 when there is no such item.
int get_menu_state(Menu* menu, std::uint32_t item, std::uint32_t flags);

}  // namespace native
