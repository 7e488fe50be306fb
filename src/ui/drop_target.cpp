// The drop target object and the drag protocol it answers.
#include "ui/drop_target.h"

#include "ui/drop_effect.h"
#include "ui/event_queue.h"
#include "ui/window_lookup.h"

#include "native/windowing/window.h"
#include "runtime/general_heap.h"

#include <cstring>
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
