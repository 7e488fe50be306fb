#pragma once
// Graphics objects (bitmaps, device contexts, brushes) live behind handles.
// Every live handle is known to the core, so a type query on any value, even a
// stale or made-up one, answers safely.
#include <cstdint>

namespace native {

enum class ObjectType : std::uint32_t { none = 0, brush = 2, dc = 3, bitmap = 7 };

struct GdiObject {
  explicit GdiObject(ObjectType t) : type(t) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  const ObjectType type;
};

// The type of a live object, or none for anything else.
ObjectType get_object_type(const void* handle);
// Deletes a bitmap or brush. A bitmap still selected into a device context
// goes when it is deselected, so no context ever draws into freed memory.
bool delete_object(void* handle);

// Live objects of each kind, for tests that prove nothing leaks.
std::uint32_t live_object_count(ObjectType type);

// Registration, used by the object kinds themselves.
void register_object(GdiObject* object);
void unregister_object(GdiObject* object);
GdiObject* find_live_object(const void* handle);

}  // namespace native
