#include "native/graphics/gdi_object.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/device_context.h"
#include "native/graphics/graphics_state.h"

namespace native {
namespace detail {

GraphicsState& graphics() {
  static GraphicsState state;
  return state;
}

}  // namespace detail

namespace {

std::unordered_set<const void*>& live_objects() { return detail::graphics().live_objects; }

}  // namespace

void register_object(GdiObject* object) { live_objects().insert(object); }

void unregister_object(GdiObject* object) { live_objects().erase(object); }

GdiObject* find_live_object(const void* handle) {
  if (!handle || !live_objects().contains(handle)) return nullptr;
  return static_cast<GdiObject*>(const_cast<void*>(handle));
}

ObjectType get_object_type(const void* handle) {
  GdiObject* object = find_live_object(handle);
  return object ? object->type : ObjectType::none;
}

bool delete_object(void* handle) {
  GdiObject* object = find_live_object(handle);
  if (!object || object->type == ObjectType::dc) return false;
  if (object->type == ObjectType::bitmap) {
    auto* bitmap = static_cast<Bitmap*>(object);
    if (bitmap->is_stock) return false;
    if (bitmap->selected_into) {
      bitmap->delete_when_deselected = true;
      return true;
    }
  }
  unregister_object(object);
  delete object;
  return true;
}

std::uint32_t live_object_count(ObjectType type) {
  std::uint32_t n = 0;
  for (const void* handle : live_objects()) {
    const auto* object = static_cast<const GdiObject*>(handle);
    bool stock = object->type == ObjectType::bitmap && static_cast<const Bitmap*>(object)->is_stock;
    if (object->type == type && !stock) ++n;
  }
  return n;
}

}  // namespace native
