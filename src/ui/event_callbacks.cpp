#include "ui/event_callbacks.h"

#include <map>
#include <string>
#include <vector>

namespace {

struct Binding {
  ObjectId window;
  std::vector<EventCallback> callbacks;
};

// Keyed by "code:window:object:type"; -1 stands for "any".
std::map<std::string, Binding>* table = nullptr;

std::string key_of(std::int32_t code, ObjectId window, ObjectId object, std::int32_t type) {
  return std::to_string(code) + ':' + std::to_string(window) + ':' + std::to_string(object) + ':' +
         std::to_string(type);
}

}  // namespace

void init_event_callbacks() {
  delete table;
  table = new std::map<std::string, Binding>;
}

void shutdown_event_callbacks() {
  delete table;
  table = nullptr;
}

void bind_event_callback(std::int32_t code, ObjectId window, ObjectId object, std::int32_t type,
                         EventCallback callback) {
  if (!table || !callback) return;
  Binding& binding = (*table)[key_of(code, window, object, type)];
  binding.window = window;
  binding.callbacks.push_back(callback);
}

void unbind_window_callbacks(ObjectId window) {
  if (!table) return;
  std::erase_if(*table, [window](const auto& entry) { return entry.second.window == window; });
}

bool has_bound_callbacks() { return table && !table->empty(); }

void run_bound_callbacks(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type) {
  if (!has_bound_callbacks()) return;
  const std::string keys[] = {
      key_of(code, window, object, type), key_of(code, window, object, -1), key_of(code, window, -1, -1),
      key_of(code, -1, -1, -1),           key_of(code, -1, object, type),
  };
  for (const std::string& key : keys) {
    auto found = table->find(key);
    if (found == table->end()) continue;
    // A callback may bind more; run the list as it stood.
    std::vector<EventCallback> callbacks = found->second.callbacks;
    for (EventCallback callback : callbacks) callback();
  }
}
