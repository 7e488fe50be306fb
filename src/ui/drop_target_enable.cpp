// Declaring which formats and actions a window or gadget accepts, and the
// drop-target registration that follows from it.
#include "ui/drop_target.h"

#include "ui/gadgets.h"
#include "ui/windows.h"

#include "native/windowing/window.h"
#include "runtime/general_heap.h"

#include <new>

namespace {

constexpr std::uint32_t TEXT_FORMATS[] = {native::CF_TEXT, native::CF_OEMTEXT, native::CF_UNICODETEXT};
// Gadgets of this kind are frames themselves and never need lifting.
constexpr std::int32_t FRAME_GADGET_TYPE = 7;
constexpr std::uint32_t BUTTON_FRAME_STYLES = 0x7;
constexpr std::uint32_t Z_ORDER_ONLY = native::SWP_NOSIZE | native::SWP_NOMOVE | native::SWP_NOACTIVATE;

DropTarget* target_of(native::Window* window) {
  return static_cast<DropTarget*>(native::get_prop(window, DROP_ACCEPT_PROPERTY));
}

DropTarget* make_target(std::int32_t type_code, ObjectId number, native::Window* window) {
  void* block = general_alloc(sizeof(DropTarget));
  if (!block) return nullptr;
  auto* target = new (block) DropTarget(type_code, number, window);
  native::HResult result = native::register_drag_drop(window, target);
  if (result == native::DRAGDROP_E_ALREADYREGISTERED) {
    native::revoke_drag_drop(window);
    result = native::register_drag_drop(window, target);
  }
  if (result != native::S_OK || !native::set_prop(window, DROP_ACCEPT_PROPERTY, target)) {
    if (result == native::S_OK) native::revoke_drag_drop(window);
    target->release();
    return nullptr;
  }
  // The registration holds its own reference.
  target->release();
  return target;
}

DropFormatEntry* find_entry(DropFormatEntry* list, std::uint32_t format) {
  for (; list; list = list->next)
    if (list->format == format) return list;
  return nullptr;
}

void accept(std::int32_t type_code, ObjectId number, native::Window* window, std::uint32_t format,
            std::uint32_t actions, std::uint32_t key) {
  DropTarget* target = target_of(window);
  if (!target) target = make_target(type_code, number, window);
  if (!target) return;
  const bool is_private = format == PRIVATE_DROP_FORMAT;
  DropFormatEntry*& list = is_private ? target->private_formats : target->standard_formats;
  const std::uint32_t wanted = is_private ? key : format;
  if (DropFormatEntry* entry = find_entry(list, wanted)) {
    entry->actions = actions;
    return;
  }
  auto* entry = static_cast<DropFormatEntry*>(general_alloc(sizeof(DropFormatEntry)));
  if (!entry) return;
  // The newest format is tried first.
  *entry = {list, nullptr, wanted, actions};
  if (list) list->previous = entry;
  list = entry;
}

void withdraw(native::Window* window, std::uint32_t format, std::uint32_t key) {
  DropTarget* target = target_of(window);
  if (!target) return;
  const bool is_private = format == PRIVATE_DROP_FORMAT;
  DropFormatEntry*& list = is_private ? target->private_formats : target->standard_formats;
  if (DropFormatEntry* entry = find_entry(list, is_private ? key : format)) {
    if (entry->previous) entry->previous->next = entry->next; else list = entry->next;
    if (entry->next) entry->next->previous = entry->previous;
    general_free(entry);
  }
  if (!target->standard_formats && !target->private_formats) release_drop_target(window);
}

void apply(std::int32_t type_code, ObjectId number, native::Window* window, std::int32_t format,
           std::uint32_t actions, std::uint32_t key) {
  auto one = [&](std::uint32_t f) {
    if (actions) accept(type_code, number, window, f, actions, key);
    else withdraw(window, f, key);
  };
  if (static_cast<std::uint32_t>(format) == DROP_FORMAT_TEXT) {
    for (std::uint32_t f : TEXT_FORMATS) one(f);
  } else {
    one(static_cast<std::uint32_t>(format));
  }
}

struct SiblingSearch {
  native::Window* gadget;
  native::Window* parent;
  native::Rect area;
};

bool intersects(const native::Rect& a, const native::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom && a.left < a.right &&
         a.top < a.bottom && b.left < b.right && b.top < b.bottom;
}

// Frames drawn around a gadget must not cover it as drop targets: such
// buttons go behind it.
bool lift_over_frame(native::Window* sibling, std::intptr_t data) {
  auto* search = reinterpret_cast<SiblingSearch*>(data);
  if (sibling == search->gadget || native::get_parent(sibling) != search->parent) return true;
  if (native::get_class_name(sibling) != u"Button") return true;
  auto style = static_cast<std::uint32_t>(native::get_window_long(sibling, native::GWL_STYLE));
  if (!(style & BUTTON_FRAME_STYLES)) return true;
  if (intersects(native::get_window_rect(sibling), search->area))
    native::set_window_pos(sibling, search->gadget, 0, 0, 0, 0, Z_ORDER_ONLY);
  return true;
}

}  // namespace

void init_ole() {
  native::ole_initialize();
  // Freeing a window lets go of its drop target too.
  set_drop_target_release(release_drop_target);
}
void shutdown_ole() { native::ole_uninitialize(); }

void enable_gadget_drop(ObjectId gadget, std::int32_t format, std::uint32_t actions, std::uint32_t private_key) {
  GadgetRecord* record = gadget_record(gadget);
  if (!record || format == 0) return;
  native::Window* window = record->handle;
  apply(record->type->type_code, gadget, window, format, actions, private_key);
  if (record->type->type_code == FRAME_GADGET_TYPE) return;
  SiblingSearch search{window, native::get_parent(window), native::get_window_rect(window)};
  if (search.parent) native::enum_child_windows(search.parent, lift_over_frame, reinterpret_cast<std::intptr_t>(&search));
}

void enable_native_window_drop(native::Window* window, ObjectId number, std::int32_t format, std::uint32_t actions,
                               std::uint32_t private_key) {
  if (!native::is_window(window) || format == 0) return;
  apply(0, number, window, format, actions, private_key);
}

bool release_drop_target(native::Window* window) {
  if (!native::remove_prop(window, DROP_ACCEPT_PROPERTY)) return false;
  // Revoking drops the registration's reference, which frees the target.
  native::revoke_drag_drop(window);
  return true;
}
