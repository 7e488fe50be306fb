// Menus: bars and drop-downs with items, attached to windows.
#include "native/windowing/menu.h"

#include "native/windowing/backend.h"
#include "native/windowing/paint.h"
#include "native/windowing/windowing_state.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace native {
namespace {

struct MenuItem {
  std::uint32_t type = MFT_STRING;
  std::uint32_t state = 0;
  std::uint32_t id = 0;
  Menu* submenu = nullptr;
  std::uintptr_t data = 0;
  std::u16string text;
};

struct MenuData {
  bool popup = false;
  std::vector<MenuItem> items;
  Window* window = nullptr;  // the window showing this bar
  bool destroying = false;
};

std::uintptr_t next_menu = 0x10000008;

std::unordered_map<const void*, std::unique_ptr<MenuData>>& menus() {
  static std::unordered_map<const void*, std::unique_ptr<MenuData>> table;
  return table;
}

MenuData* find_menu(const Menu* menu) {
  auto it = menus().find(menu);
  return it == menus().end() || it->second->destroying ? nullptr : it->second.get();
}

Menu* new_menu(bool popup) {
  next_menu += 0x10;
  auto* handle = reinterpret_cast<Menu*>(next_menu);
  auto data = std::make_unique<MenuData>();
  data->popup = popup;
  menus().emplace(handle, std::move(data));
  return handle;
}

// Depth-first search by identifier; `depth` guards against a drop-down that
// was appended inside itself.
MenuItem* find_item(MenuData& menu, std::uint32_t id, int depth = 0) {
  if (depth > 64) return nullptr;
  for (MenuItem& item : menu.items) {
    if (item.submenu) {
      if (MenuData* sub = find_menu(item.submenu))
        if (MenuItem* found = find_item(*sub, id, depth + 1)) return found;
    } else if (!(item.type & MFT_SEPARATOR) && item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

MenuItem* locate(Menu* menu, std::uint32_t item, bool by_position) {
  MenuData* m = find_menu(menu);
  if (!m) return nullptr;
  if (by_position) return item < m->items.size() ? &m->items[item] : nullptr;
  return find_item(*m, item);
}

bool contains(MenuData& menu, Menu* wanted, int depth = 0) {
  if (depth > 64) return false;
  for (MenuItem& item : menu.items)
    if (item.submenu) {
      if (item.submenu == wanted) return true;
      if (MenuData* sub = find_menu(item.submenu); sub && contains(*sub, wanted, depth + 1)) return true;
    }
  return false;
}

// Tells the backend about a change anywhere under a window's bar.
void changed(Menu* menu) {
  for (auto& [handle, data] : menus()) {
    if (!data->window || data->destroying) continue;
    if (handle == menu || contains(*data, menu)) detail::windowing().backend.menu_changed(data->window);
  }
}

void attach(detail::WindowData& w, Menu* menu) {
  Rect before = get_client_rect(w.handle);
  if (MenuData* old = find_menu(w.menu)) old->window = nullptr;
  w.menu = menu;
  if (MenuData* m = find_menu(menu)) m->window = w.handle;
  detail::fit_surface(w);
  detail::windowing().backend.menu_changed(w.handle);
  Rect after = get_client_rect(w.handle);
  if (after.right != before.right || after.bottom != before.bottom) {
    invalidate_rect(w.handle, nullptr, true);
    detail::send_size(w);
  }
}

}  // namespace

namespace detail {
void reset_menus() { menus().clear(); }
}  // namespace detail

Menu* create_menu() { return new_menu(false); }
Menu* create_popup_menu() { return new_menu(true); }
bool is_menu(Menu* menu) { return find_menu(menu) != nullptr; }

bool destroy_menu(Menu* menu) {
  MenuData* m = find_menu(menu);
  if (!m) return false;
  if (detail::WindowData* w = detail::find(m->window); w && w->menu == menu) attach(*w, nullptr);
  m->destroying = true;
  for (MenuItem& item : m->items)
    if (item.submenu) destroy_menu(item.submenu);
  menus().erase(menu);
  return true;
}

bool append_menu(Menu* menu, std::uint32_t flags, std::uintptr_t id_or_popup, std::u16string_view text,
                 std::uintptr_t item_data) {
  MenuData* m = find_menu(menu);
  if (!m) return false;
  MenuItem item;
  if (flags & MF_POPUP) {
    item.submenu = reinterpret_cast<Menu*>(id_or_popup);
    if (!find_menu(item.submenu) || item.submenu == menu) return false;
    item.id = static_cast<std::uint32_t>(id_or_popup);
  } else {
    item.id = static_cast<std::uint32_t>(id_or_popup);
  }
  if (flags & MF_SEPARATOR) item.type = MFT_SEPARATOR;
  if (flags & MF_OWNERDRAW) item.type |= MFT_OWNERDRAW;
  if (flags & MF_CHECKED) item.state |= MFS_CHECKED;
  if (flags & (MF_GRAYED | MF_DISABLED)) item.state |= flags & MFS_GRAYED;
  item.data = item_data;
  if (!(flags & (MF_SEPARATOR | MF_OWNERDRAW))) item.text = std::u16string(text);
  m->items.push_back(std::move(item));
  changed(menu);
  return true;
}

bool set_menu(Window* window, Menu* menu) {
  detail::WindowData* w = detail::find(window);
  if (!w || w->parent || (menu && !find_menu(menu))) return false;
  attach(*w, menu);
  return true;
}

Menu* get_menu(Window* window) {
  detail::WindowData* w = detail::find(window);
  return w && !w->parent && find_menu(w->menu) ? w->menu : nullptr;
}

int get_menu_item_count(Menu* menu) {
  MenuData* m = find_menu(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

Menu* get_sub_menu(Menu* menu, int position) {
  MenuItem* item = position < 0 ? nullptr : locate(menu, static_cast<std::uint32_t>(position), true);
  return item && find_menu(item->submenu) ? item->submenu : nullptr;
}

bool get_menu_item_info(Menu* menu, std::uint32_t item, bool by_position, MenuItemInfo& info) {
  MenuItem* found = locate(menu, item, by_position);
  if (!found) return false;
  if (info.mask & MIIM_STATE) info.state = found->state;
  if (info.mask & MIIM_ID) info.id = found->id;
  if (info.mask & MIIM_SUBMENU) info.submenu = find_menu(found->submenu) ? found->submenu : nullptr;
  if (info.mask & MIIM_DATA) info.data = found->data;
  if (info.mask & MIIM_STRING) info.text = found->text;
  if (info.mask & MIIM_FTYPE) info.type = found->type;
  return true;
}

bool set_menu_item_info(Menu* menu, std::uint32_t item, bool by_position, const MenuItemInfo& info) {
  MenuItem* found = locate(menu, item, by_position);
  if (!found) return false;
  if (info.mask & MIIM_STATE) found->state = info.state;
  if (info.mask & MIIM_ID) found->id = info.id;
  if (info.mask & MIIM_SUBMENU) {
    if (info.submenu && (!find_menu(info.submenu) || info.submenu == menu)) return false;
    found->submenu = info.submenu;
  }
  if (info.mask & MIIM_DATA) found->data = info.data;
  if (info.mask & MIIM_STRING) found->text = info.text;
  if (info.mask & MIIM_FTYPE) found->type = info.type;
  changed(menu);
  return true;
}

int check_menu_item(Menu* menu, std::uint32_t item, std::uint32_t flags) {
  MenuItem* found = locate(menu, item, flags & MF_BYPOSITION);
  if (!found) return -1;
  int previous = found->state & MFS_CHECKED ? MF_CHECKED : 0;
  found->state = (found->state & ~MFS_CHECKED) | (flags & MF_CHECKED ? MFS_CHECKED : 0);
  changed(menu);
  return previous;
}

int get_menu_state(Menu* menu, std::uint32_t item, std::uint32_t flags) {
  MenuItem* found = locate(menu, item, flags & MF_BYPOSITION);
  if (!found) return -1;
  return static_cast<int>(found->state | (found->type & MFT_SEPARATOR) | (found->submenu ? MF_POPUP : 0));
}

}  // namespace native
