// Window records: creation, destruction, the tree, procedures, longs, text
// and properties.
#include "native/system/process.h"
#include "native/windowing/backend.h"
#include "native/windowing/menu.h"
#include "native/windowing/paint.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>

namespace native {
namespace detail {
namespace {

// Calls nest (a procedure may destroy windows); records are freed only when
// the outermost call has returned.
struct SendScope {
  SendScope() { ++windowing().send_depth; }
  ~SendScope() { --windowing().send_depth; }
};

Point default_position() {
  int n = static_cast<int>(windowing().top_level.size() % 8);
  return {26 + 26 * n, 26 + 26 * n};
}

void unlink(WindowData& w) {
  auto& list = w.parent ? w.parent->children : windowing().top_level;
  list.erase(std::remove(list.begin(), list.end(), &w), list.end());
}

void destroy_tree(WindowData& w) {
  Window* handle = w.handle;
  w.destroying = true;
  send_message(handle, WM_DESTROY, 0, 0);
  std::vector<Window*> children;
  for (WindowData* c : w.children) children.push_back(c->handle);
  for (Window* c : children)
    if (WindowData* child = find(c); child && !child->destroying) destroy_tree(*child);
  send_message(handle, WM_NCDESTROY, 0, 0);

  forget_window(handle);
  forget_timers(handle);
  release_drop_registration(w);
  if (!w.parent && w.menu) {
    Menu* menu = w.menu;
    w.menu = nullptr;
    destroy_menu(menu);
  }
  drop_surface(w);
  purge_messages(handle);
  unlink(w);
  --w.window_class->windows;
  w.destroyed = true;
  windowing().backend.window_destroyed(handle);
  auto it = windowing().windows.find(handle);
  windowing().graveyard.push_back(std::move(it->second));
  windowing().windows.erase(it);
}

}  // namespace
}  // namespace detail

using detail::find;
using detail::WindowData;
using detail::windowing;

Window* create_window(std::uint32_t ex_style, std::u16string_view class_name, std::u16string_view title,
                      std::uint32_t style, int x, int y, int width, int height, Window* parent, Menu* menu,
                      std::intptr_t id, void* create_param) {
  auto window_class = detail::lookup_class(class_name);
  if (!window_class) return nullptr;
  WindowData* parent_data = find(parent);
  bool child = style & WS_CHILD;
  if (child && !parent_data) return nullptr;
  if (!child && parent && !parent_data) return nullptr;
  // Overlapped windows always have a title bar.
  if (!child && !(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;
  bool visible = style & WS_VISIBLE;
  std::uint32_t state = style & (WS_MINIMIZE | WS_MAXIMIZE);
  style &= ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);

  if (x == CW_USEDEFAULT) {
    Point p = child ? Point{} : detail::default_position();
    x = p.x;
    y = p.y;
  } else if (y == CW_USEDEFAULT) {
    y = child ? 0 : detail::default_position().y;
  }
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : get_system_metrics(SM_CXSCREEN) * 3 / 4;
    height = child ? 0 : get_system_metrics(SM_CYSCREEN) * 3 / 4;
  }
  if (height == CW_USEDEFAULT) height = child ? 0 : get_system_metrics(SM_CYSCREEN) * 3 / 4;

  auto record = std::make_unique<WindowData>();
  WindowData& w = *record;
  w.handle = detail::new_window_handle();
  w.window_class = window_class;
  w.procedure = window_class->procedure;
  w.style = style;
  w.ex_style = ex_style & ~WS_EX_TOPMOST;
  w.id = id;
  w.thread_id = get_current_thread_id();
  w.title = std::u16string(title);
  if (child) {
    w.parent = parent_data;
    parent_data->children.push_back(&w);
  } else {
    w.owner = parent_data ? get_ancestor_root(parent) : nullptr;
    windowing().top_level.insert(windowing().top_level.begin(), &w);
    if (is_menu(menu)) w.menu = menu;
  }
  ++window_class->windows;
  Window* handle = w.handle;
  windowing().windows.emplace(handle, std::move(record));
  detail::SendScope scope;  // keeps the record readable if a procedure destroys it

  // Overlapped and sizeable windows get their size limits checked.
  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MinMaxInfo info{};
    info.min_track_size = {get_system_metrics(SM_CXMIN), get_system_metrics(SM_CYMIN)};
    info.max_track_size = {get_system_metrics(SM_CXSCREEN) + 2 * get_system_metrics(SM_CXFRAME),
                           get_system_metrics(SM_CYSCREEN) + 2 * get_system_metrics(SM_CYFRAME)};
    send_message(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&info));
    width = std::min(width, info.max_track_size.x);
    height = std::min(height, info.max_track_size.y);
    width = std::max(width, info.min_track_size.x);
    height = std::max(height, info.min_track_size.y);
  }
  if (!find(handle)) return nullptr;
  w.rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
  w.normal_rect = w.rect;
  if (ex_style & WS_EX_TOPMOST) detail::place_in_z_order(w, HWND_TOPMOST);
  detail::fit_surface(w);
  windowing().backend.window_created(handle);

  std::u16string class_copy(class_name);
  CreateStruct cs{
      create_param,       menu,    parent, height, width, y, x, w.style | (visible ? WS_VISIBLE : 0), w.title.c_str(),
      class_copy.c_str(), ex_style};
  auto cs_param = reinterpret_cast<std::intptr_t>(&cs);
  if (!send_message(handle, WM_NCCREATE, 0, cs_param) || !find(handle)) {
    destroy_window(handle);
    return nullptr;
  }
  if (send_message(handle, WM_CREATE, 0, cs_param) == -1 || !find(handle)) {
    destroy_window(handle);
    return nullptr;
  }
  detail::send_size(w);
  if (find(handle)) detail::send_move(w);
  if (!find(handle)) return nullptr;
  if (visible) {
    int command = state & WS_MAXIMIZE ? SW_MAXIMIZE : state & WS_MINIMIZE ? SW_SHOWMINIMIZED : SW_SHOW;
    show_window(handle, command);
  }
  return find(handle) ? handle : nullptr;
}

bool destroy_window(Window* window) {
  WindowData* w = find(window);
  if (!w || w->destroying) return false;
  detail::SendScope scope;
  if (!w->parent) {
    // Owned windows go before their owner.
    std::vector<Window*> owned;
    for (WindowData* t : windowing().top_level)
      if (t->owner == window) owned.push_back(t->handle);
    for (Window* o : owned) destroy_window(o);
    if (!find(window)) return true;
  }
  if (w->style & WS_VISIBLE) {
    detail::move_activation_away(*w);
    if (!find(window)) return true;
    w->style &= ~WS_VISIBLE;
    windowing().backend.window_shown(window, false);
  } else if (windowing().focus && (windowing().focus == window || is_child(window, windowing().focus))) {
    set_focus(nullptr);
  }
  if (WindowData* again = find(window); again && !again->destroying) detail::destroy_tree(*again);
  return true;
}

bool is_window(Window* window) { return find(window) != nullptr; }

std::uint32_t get_window_thread_process_id(Window* window, std::uint32_t* process) {
  WindowData* w = find(window);
  if (process) *process = w ? get_current_process_id() : 0;
  return w ? w->thread_id : 0;
}

bool is_child(Window* parent, Window* window) {
  WindowData* w = find(window);
  if (!w || !find(parent)) return false;
  for (WindowData* p = w->parent; p; p = p->parent)
    if (p->handle == parent) return true;
  return false;
}

Window* get_parent(Window* window) {
  WindowData* w = find(window);
  return w ? detail::handle_of(w->parent) : nullptr;
}

Window* get_ancestor_root(Window* window) {
  WindowData* w = find(window);
  if (!w) return nullptr;
  while (w->parent) w = w->parent;
  return w->handle;
}

Window* get_window(Window* window, unsigned relation) {
  WindowData* w = find(window);
  if (!w) return nullptr;
  if (relation == GW_OWNER) return w->parent ? nullptr : (find(w->owner) ? w->owner : nullptr);
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front()->handle;
  const auto& siblings = w->parent ? w->parent->children : windowing().top_level;
  auto it = std::find(siblings.begin(), siblings.end(), w);
  switch (relation) {
    case GW_HWNDFIRST: return siblings.front()->handle;
    case GW_HWNDLAST: return siblings.back()->handle;
    case GW_HWNDNEXT: return it + 1 == siblings.end() ? nullptr : (*(it + 1))->handle;
    case GW_HWNDPREV: return it == siblings.begin() ? nullptr : (*(it - 1))->handle;
    default: return nullptr;
  }
}

namespace {

bool enum_below(WindowData& w, bool (*visit)(Window*, std::intptr_t), std::intptr_t data) {
  std::vector<Window*> children;
  for (WindowData* c : w.children) children.push_back(c->handle);
  for (Window* c : children) {
    WindowData* child = find(c);
    if (!child) continue;  // destroyed by an earlier visit
    if (!visit(c, data)) return false;
    if (WindowData* again = find(c); again && !enum_below(*again, visit, data)) return false;
  }
  return true;
}

}  // namespace

bool enum_child_windows(Window* parent, bool (*visit)(Window*, std::intptr_t), std::intptr_t data) {
  WindowData* w = find(parent);
  if (!w || !visit) return false;
  enum_below(*w, visit, data);
  return true;
}

std::vector<Window*> top_level_windows() {
  std::vector<Window*> out;
  for (WindowData* w : windowing().top_level) out.push_back(w->handle);
  return out;
}

std::intptr_t send_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  WindowData* w = find(window);
  if (!w) return 0;
  detail::SendScope scope;
  return w->procedure(window, message, wparam, lparam);
}

std::intptr_t call_window_proc(WindowProc procedure, Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  if (!procedure) return 0;
  detail::SendScope scope;
  return procedure(window, message, wparam, lparam);
}

WindowProc set_window_proc(Window* window, WindowProc procedure) {
  WindowData* w = find(window);
  if (!w || !procedure) return nullptr;
  return std::exchange(w->procedure, procedure);
}

WindowProc get_window_proc(Window* window) {
  WindowData* w = find(window);
  return w ? w->procedure : nullptr;
}

std::intptr_t get_window_long(Window* window, int index) {
  WindowData* w = find(window);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<std::intptr_t>(w->style);
    case GWL_EXSTYLE: return static_cast<std::intptr_t>(w->ex_style);
    case GWL_ID: return w->id;
    case GWL_WNDPROC: return reinterpret_cast<std::intptr_t>(w->procedure);
    default: return 0;
  }
}

std::intptr_t set_window_long(Window* window, int index, std::intptr_t value) {
  WindowData* w = find(window);
  if (!w) return 0;
  auto bits = static_cast<std::uint32_t>(value);
  switch (index) {
    case GWL_STYLE: {
      std::uint32_t old = w->style;
      // Visibility and the window kind change only through their own calls.
      w->style = (bits & ~(WS_VISIBLE | WS_CHILD)) | (old & (WS_VISIBLE | WS_CHILD));
      detail::fit_surface(*w);  // a frame change may move the client edges
      return static_cast<std::intptr_t>(old);
    }
    case GWL_EXSTYLE: {
      std::uint32_t old = w->ex_style;
      w->ex_style = (bits & ~WS_EX_TOPMOST) | (old & WS_EX_TOPMOST);
      detail::fit_surface(*w);
      return static_cast<std::intptr_t>(old);
    }
    case GWL_ID: return std::exchange(w->id, value);
    case GWL_WNDPROC: {
      auto procedure = reinterpret_cast<WindowProc>(value);
      return procedure ? reinterpret_cast<std::intptr_t>(set_window_proc(window, procedure)) : 0;
    }
    default: return 0;
  }
}

bool set_window_text(Window* window, std::u16string_view text) {
  WindowData* w = find(window);
  if (!w) return false;
  w->title = std::u16string(text);
  windowing().backend.window_text_changed(window);
  return true;
}

std::u16string get_window_text(Window* window) {
  WindowData* w = find(window);
  return w ? w->title : std::u16string();
}

bool set_prop(Window* window, std::u16string_view name, void* value) {
  WindowData* w = find(window);
  if (!w || name.empty()) return false;
  for (auto& [key, v] : w->props)
    if (key == name) {
      v = value;
      return true;
    }
  w->props.emplace_back(std::u16string(name), value);
  return true;
}

void* get_prop(Window* window, std::u16string_view name) {
  WindowData* w = find(window);
  if (!w) return nullptr;
  for (auto& [key, v] : w->props)
    if (key == name) return v;
  return nullptr;
}

void* remove_prop(Window* window, std::u16string_view name) {
  WindowData* w = find(window);
  if (!w) return nullptr;
  for (auto it = w->props.begin(); it != w->props.end(); ++it)
    if (it->first == name) {
      void* value = it->second;
      w->props.erase(it);
      return value;
    }
  return nullptr;
}

}  // namespace native
