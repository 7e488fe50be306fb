// Window classes: a named procedure, class style, background and cursor.
#include "native/graphics/gdi_object.h"
#include "native/windowing/window.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>

namespace native {
namespace detail {

bool same_name(std::u16string_view a, std::u16string_view b) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

namespace {

std::shared_ptr<ClassData> find_class(std::u16string_view name) {
  for (auto& c : windowing().classes)
    if (same_name(c->name, name)) return c;
  return nullptr;
}

}  // namespace

std::shared_ptr<ClassData> lookup_class(std::u16string_view name) { return find_class(name); }

bool background_colour(std::uintptr_t background, std::uint32_t& colour) {
  if (background == 0) return false;
  if (background <= 31) {
    colour = get_sys_color(static_cast<int>(background) - 1);
    return true;
  }
  GdiObject* object = find_live_object(reinterpret_cast<const void*>(background));
  if (!object || object->type != ObjectType::brush) return false;
  colour = static_cast<Brush*>(object)->colour;
  return true;
}

}  // namespace detail

std::uint32_t get_sys_color(int index) {
  switch (index) {
    case COLOR_WINDOW: return 0xFFFFFF;
    case COLOR_BTNFACE: return 0xF0F0F0;
    case 0: return 0xC8C8C8;   // scroll bar
    case 1: return 0x000000;   // desktop
    case 8: return 0x000000;   // window text
    case 18: return 0x000000;  // button text
    default: return 0xC0C0C0;
  }
}

bool register_class(const WindowClassInfo& info) {
  if (!info.procedure || info.name.empty() || detail::find_class(info.name)) return false;
  auto data = std::make_shared<detail::ClassData>();
  data->name = std::u16string(info.name);
  data->style = info.style;
  data->procedure = info.procedure;
  data->background = info.background;
  data->cursor = info.cursor;
  detail::windowing().classes.push_back(std::move(data));
  return true;
}

bool unregister_class(std::u16string_view name) {
  auto& classes = detail::windowing().classes;
  for (auto it = classes.begin(); it != classes.end(); ++it) {
    if (!detail::same_name((*it)->name, name)) continue;
    if ((*it)->windows > 0) return false;  // the native system refuses while windows use it
    classes.erase(it);
    return true;
  }
  return false;
}

bool get_class_info(std::u16string_view name, WindowClassInfo& out) {
  auto c = detail::find_class(name);
  if (!c) return false;
  out = WindowClassInfo{c->style, c->procedure, c->background, c->cursor, {}};
  return true;
}

std::u16string get_class_name(Window* window) {
  detail::WindowData* w = detail::find(window);
  return w ? w->window_class->name : std::u16string();
}

}  // namespace native
