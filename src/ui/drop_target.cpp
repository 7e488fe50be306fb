// The drop target object and the drag protocol it answers, the choice of
// effect, declaring what a window or gadget accepts, and a drop's file names.
#include "ui/drop_target.h"

#include "ui/event_queue.h"
#include "ui/gadgets.h"
#include "ui/windows.h"

#include "native/windowing/window.h"
#include "runtime/general_heap.h"

#include <cstring>
#include <new>
#include <span>
#include <vector>

namespace {

void free_entries(DropFormatEntry* entry) {
  while (entry) {
    DropFormatEntry* next = entry->next;
    general_free(entry);
    entry = next;
  }
}

void release_drop_record(void* data) {
  auto* record = static_cast<DropRecord*>(data);
  general_free(record->data);
  general_free(record);
}

std::uint32_t read_key(const std::vector<std::uint8_t>& block) {
  std::uint32_t key = 0;
  std::memcpy(&key, block.data(), sizeof key);
  return key;
}

}  // namespace

DropTarget::DropTarget(std::int32_t type_code, ObjectId object, native::Window* target_window)
    : gadget_type(type_code), number(object), window(target_window) {}

native::HResult DropTarget::query_interface(const InterfaceId* id, void** out) {
  if (!out) return native::E_INVALIDARG;
  *out = nullptr;
  if (!id || (*id != IID_UNKNOWN && *id != IID_DROP_TARGET)) return native::E_NOINTERFACE;
  *out = this;
  add_ref();
  return native::S_OK;
}

std::uint32_t DropTarget::add_ref() { return ++reference_count; }

std::uint32_t DropTarget::release() {
  std::uint32_t left = --reference_count;
  if (left == 0) {
    free_entries(standard_formats);
    free_entries(private_formats);
    this->~DropTarget();
    general_free(this);
  }
  return left;
}

native::HResult DropTarget::drag_enter(const native::DataObject* data, std::uint32_t key_state, native::Point point,
                                       std::uint32_t* effect) {
  if (!effect) return native::E_INVALIDARG;
  match_state = DROP_MATCH_NONE;
  reported_format = 0;
  const std::uint32_t allowed = *effect;
  if (data) {
    for (DropFormatEntry* entry = standard_formats; entry; entry = entry->next) {
      if (!(entry->actions & allowed)) continue;
      if (data->query_get_data(entry->format) != native::S_OK) continue;
      match_state = DROP_MATCH_FORMAT;
      matched_format = reported_format = entry->format;
      accepted_actions = entry->actions;
      break;
    }
    std::vector<std::uint8_t> block;
    // A private block too short to hold its key matches nothing.
    if (match_state == DROP_MATCH_NONE && private_formats &&
        data->get_data(PRIVATE_DROP_FORMAT, block) == native::S_OK && block.size() >= sizeof(std::uint32_t)) {
      const std::uint32_t key = read_key(block);
      for (DropFormatEntry* entry = private_formats; entry; entry = entry->next) {
        if (entry->format != key || !(entry->actions & allowed)) continue;
        match_state = DROP_MATCH_PRIVATE;
        matched_format = key;
        reported_format = PRIVATE_DROP_FORMAT;
        accepted_actions = entry->actions;
        break;
      }
    }
  }
  *effect = match_state != DROP_MATCH_NONE ? choose_drop_effect(key_state, accepted_actions, allowed) : DROP_NONE;
  // Canvases and windows show no hover feedback; the point is not needed.
  native::screen_to_client(window, point);
  return native::S_OK;
}

native::HResult DropTarget::drag_over(std::uint32_t key_state, native::Point point, std::uint32_t* effect) {
  if (!effect) return native::E_INVALIDARG;
  *effect = match_state != DROP_MATCH_NONE ? choose_drop_effect(key_state, accepted_actions, *effect) : DROP_NONE;
  native::screen_to_client(window, point);
  return native::S_OK;
}

native::HResult DropTarget::drag_leave() {
  match_state = DROP_MATCH_NONE;
  return native::S_OK;
}

native::HResult DropTarget::drop(const native::DataObject* data, std::uint32_t key_state, native::Point point,
                                 std::uint32_t* effect) {
  if (!effect) return native::E_INVALIDARG;
  const std::uint32_t chosen =
      match_state != DROP_MATCH_NONE ? choose_drop_effect(key_state, accepted_actions, *effect) : DROP_NONE;
  native::screen_to_client(window, point);
  DropRecord* record = nullptr;
  if (chosen != DROP_NONE) {
    record = static_cast<DropRecord*>(general_alloc(sizeof(DropRecord)));
    if (record) *record = {reported_format, 0, chosen, point.x, point.y, nullptr, 0};
    if (record && match_state == DROP_MATCH_PRIVATE) {
      record->private_key = matched_format;
    } else if (record) {
      std::vector<std::uint8_t> block;
      bool copied = data && data->get_data(matched_format, block) == native::S_OK && block.size() <= UINT32_MAX;
      if (copied && !block.empty()) {
        record->data = static_cast<std::uint8_t*>(general_alloc_raw(block.size()));
        copied = record->data != nullptr;
        if (copied) std::memcpy(record->data, block.data(), block.size());
      }
      record->size = static_cast<std::uint32_t>(block.size());
      if (!copied) {
        release_drop_record(record);
        record = nullptr;
      }
    }
  }
  match_state = DROP_MATCH_NONE;
  if (!record) {
    *effect = DROP_NONE;
    return native::S_OK;
  }
  if (gadget_type != 0) {
    post_event(EVENT_GADGET_DROP, number, window_number_of(window), 0, record, release_drop_record);
  } else {
    post_event(EVENT_WINDOW_DROP, 0, number, 0, record, release_drop_record);
  }
  *effect = chosen;
  return native::S_OK;
}

std::uint32_t choose_drop_effect(std::uint32_t key_state, std::uint32_t accepted, std::uint32_t allowed) {
  std::uint32_t both = accepted & allowed;
  std::uint32_t mods = key_state & (KEY_SHIFT | KEY_CONTROL | KEY_ALT);
  if ((both & DROP_LINK) && (mods == (KEY_CONTROL | KEY_SHIFT) || mods == KEY_ALT)) return DROP_LINK;
  if ((both & DROP_MOVE) && (mods == KEY_SHIFT || !(both & DROP_COPY))) return DROP_MOVE;
  if (both & DROP_COPY) return DROP_COPY;
  if (both & DROP_LINK) return DROP_LINK;
  return DROP_NONE;
}

// Declaring which formats and actions a window or gadget accepts, and the
// drop-target registration that follows from it.
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
    if (entry->previous)
      entry->previous->next = entry->next;
    else
      list = entry->next;
    if (entry->next) entry->next->previous = entry->previous;
    general_free(entry);
  }
  if (!target->standard_formats && !target->private_formats) release_drop_target(window);
}

void apply(std::int32_t type_code, ObjectId number, native::Window* window, std::int32_t format, std::uint32_t actions,
           std::uint32_t key) {
  auto one = [&](std::uint32_t f) {
    if (actions)
      accept(type_code, number, window, f, actions, key);
    else
      withdraw(window, f, key);
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
  if (search.parent)
    native::enum_child_windows(search.parent, lift_over_frame, reinterpret_cast<std::intptr_t>(&search));
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

namespace {

// The current event's list of dropped files; empty for any other event.
std::span<const std::uint8_t> event_file_block() {
  const std::int32_t code = event_code();
  if (code != EVENT_GADGET_DROP && code != EVENT_WINDOW_DROP) return {};
  const auto* record = static_cast<const DropRecord*>(event_data());
  if (!record || record->format != DROP_FORMAT_FILES || !record->data) return {};
  return {record->data, record->size};
}

}  // namespace

// The file names of a drop, as one text.
std::u16string event_drop_files() {
  std::span<const std::uint8_t> block = event_file_block();
  if (block.empty()) return {};
  const std::uint32_t count = native::drag_query_file_count(block);
  std::u16string names;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i) names += u'\n';
    names += native::drag_query_file(block, i);
  }
  return names;
}

std::u16string event_drop_file(std::uint32_t index) {
  std::span<const std::uint8_t> block = event_file_block();
  if (block.empty() || index >= native::drag_query_file_count(block)) return {};
  return native::drag_query_file(block, index);
}
