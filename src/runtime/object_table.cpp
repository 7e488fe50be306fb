#include "runtime/object_table.h"

#include "runtime/general_heap.h"

#include "native/system/heap.h"

#include <cstring>

namespace {

void* record_of(AnyNode* node) { return reinterpret_cast<char*>(node) + sizeof(AnyNode); }

bool is_number(const ObjectTable* table, ObjectId id) { return id >= 0 && id < table->capacity; }

// Handles are checked against the any-list before they are used: a stale or
// made-up value must never be read as a record.
AnyNode* find_node(const ObjectTable* table, ObjectId handle) {
  for (AnyNode* node = table->any_list; node; node = node->next)
    if (handle_of(record_of(node)) == handle) return node;
  return nullptr;
}

bool grow(ObjectTable* table, ObjectId number) {
  if (number > INT32_MAX - table->grow_step) return false;
  auto count = static_cast<std::int32_t>(number) + table->grow_step;
  auto* slots = static_cast<void**>(
      native::heap_realloc(general_heap(), table->slots, sizeof(void*) * static_cast<std::size_t>(count), true));
  if (!slots) return false;
  table->slots = slots;
  table->capacity = count;
  return true;
}

}  // namespace

ObjectTable* create_table(std::int32_t item_size, std::int32_t initial_slots, ReleaseCallback release) {
  if (item_size < static_cast<std::int32_t>(sizeof(void*)) || initial_slots < 1) return nullptr;
  auto* table = static_cast<ObjectTable*>(general_alloc(sizeof(ObjectTable)));
  if (!table) return nullptr;
  table->slots = static_cast<void**>(general_alloc(sizeof(void*) * static_cast<std::size_t>(initial_slots)));
  if (!table->slots) {
    general_free(table);
    return nullptr;
  }
  table->item_size = item_size;
  table->grow_step = initial_slots;
  table->capacity = initial_slots;
  table->release_callback = release;
  return table;
}

void* allocate_object(ObjectTable* table, ObjectId id) {
  if (!table) return nullptr;
  if (id == OBJECT_ANY) {
    auto* node = static_cast<AnyNode*>(general_alloc(sizeof(AnyNode) + static_cast<std::size_t>(table->item_size)));
    if (!node) return nullptr;
    node->next = table->any_list;
    if (table->any_list) table->any_list->prev = node;
    table->any_list = node;
    return record_of(node);
  }
  if (id < 0 || id > INT32_MAX) return nullptr;
  if (id >= table->capacity && !grow(table, id)) return nullptr;
  void*& slot = table->slots[id];
  if (slot) {
    // Reusing a number releases the old object first; the memory stays.
    if (table->release_callback && record_is_live(slot)) table->release_callback(id);
    std::memset(slot, 0, static_cast<std::size_t>(table->item_size));
    return slot;
  }
  slot = general_alloc(static_cast<std::size_t>(table->item_size));
  return slot;
}

void* get_object(ObjectTable* table, ObjectId id) {
  if (!table) return nullptr;
  void* record = nullptr;
  if (is_number(table, id)) {
    record = table->slots[id];
  } else if (AnyNode* node = find_node(table, id)) {
    record = record_of(node);
  }
  return record_is_live(record) ? record : nullptr;
}

void* find_object(ObjectTable* table, ObjectId id) { return get_object(table, id); }

void free_object(ObjectTable* table, ObjectId id) {
  if (!table) return;
  if (is_number(table, id)) {
    if (table->slots[id]) std::memset(table->slots[id], 0, static_cast<std::size_t>(table->item_size));
    return;
  }
  AnyNode* node = find_node(table, id);
  if (!node) return;
  if (node->prev)
    node->prev->next = node->next;
  else
    table->any_list = node->next;
  if (node->next) node->next->prev = node->prev;
  if (table->iteration_cursor == node) table->iteration_cursor = node->prev;
  general_free(node);
}

void first_object(ObjectTable* table) {
  if (!table) return;
  table->iteration_position = 0;
  AnyNode* oldest = table->any_list;
  while (oldest && oldest->next) oldest = oldest->next;
  table->iteration_cursor = oldest;
}

void* next_object(ObjectTable* table, ObjectId* id) {
  if (!table) return nullptr;
  while (table->iteration_position < table->capacity) {
    std::int32_t index = table->iteration_position++;
    void* record = table->slots[index];
    if (record_is_live(record)) {
      if (id) *id = index;
      return record;
    }
  }
  while (AnyNode* node = table->iteration_cursor) {
    // Move on first, so the caller may release what it is given.
    table->iteration_cursor = node->prev;
    void* record = record_of(node);
    if (!record_is_live(record)) continue;
    if (id) *id = handle_of(record);
    return record;
  }
  return nullptr;
}

void release_all(ObjectTable* table) {
  if (!table || !table->release_callback) return;
  first_object(table);
  ObjectId id = 0;
  while (next_object(table, &id)) table->release_callback(id);
}

void* allocate_state_block(std::size_t size, StateInitialiser initialiser, StateCleanup) {
  void* block = general_alloc(size);
  if (block && initialiser) initialiser(block);
  return block;
}
