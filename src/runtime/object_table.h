#pragma once
// Numbered object registry: one table per kind of object. A small number
// indexes the slot array; OBJECT_ANY makes a record whose address is the
// object's handle from then on. Values from 0 to capacity - 1 are numbers,
// anything else is taken as a handle.
#include <cstdint>

using ObjectId = std::intptr_t;
constexpr ObjectId OBJECT_ANY = -1;

// The owner's release operation, called with a number or handle.
using ReleaseCallback = std::intptr_t (*)(ObjectId);

struct AnyNode {
  AnyNode* next;  // toward older nodes
  AnyNode* prev;  // toward newer nodes
  // the record follows
};

struct ObjectTable {
  std::int32_t item_size;
  std::int32_t grow_step;
  std::int32_t capacity;
  void** slots;
  AnyNode* any_list;  // newest first
  ReleaseCallback release_callback;
  std::int32_t iteration_position;
  AnyNode* iteration_cursor;
};

// Every record starts with the object's native handle, which is also its
// liveness mark: a record whose first field is 0 names no object.
inline bool record_is_live(const void* record) { return record && *static_cast<void* const*>(record) != nullptr; }

ObjectTable* create_table(std::int32_t item_size, std::int32_t initial_slots, ReleaseCallback release);
// The record to fill for a number (reusing and first releasing a live one) or
// a new record for OBJECT_ANY. Null on failure or for other negative numbers.
void* allocate_object(ObjectTable* table, ObjectId id);
// Fast lookup: the live record or null.
void* get_object(ObjectTable* table, ObjectId id);
// Checked lookup: the live record or null.
void* find_object(ObjectTable* table, ObjectId id);
// Forgets a record: a numbered one is cleared and kept, an any-record freed.
void free_object(ObjectTable* table, ObjectId id);
void release_all(ObjectTable* table);
void first_object(ObjectTable* table);
void* next_object(ObjectTable* table, ObjectId* id);

// The identity of a record made with OBJECT_ANY.
inline ObjectId handle_of(const void* record) { return reinterpret_cast<ObjectId>(record); }

// Process-wide, zeroed state of one library, made once at start-up.
using StateInitialiser = void (*)(void*);
using StateCleanup = void (*)(void*);
void* allocate_state_block(std::size_t size, StateInitialiser initialiser, StateCleanup cleanup);
inline void* state_block(void* block) { return block; }
