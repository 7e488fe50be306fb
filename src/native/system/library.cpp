#include "native/system/library.h"

#include "native/system/system_state.h"

#include <array>
#include <string>

namespace native {
namespace {

// The blender stands behind the "AlphaBlend" entry; nothing calls it, the
// runtime only asks whether the entry exists.
int alpha_blend_entry() { return 1; }

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

constexpr unsigned tls_slots = 64;
thread_local std::array<void*, tls_slots> tls_values{};

unsigned& slots_used() { return detail::system().tls_slots_used; }

}  // namespace

Library* load_library(std::string_view name) {
  for (Library& library : detail::system().libraries)
    if (same_name(library.name, name)) {
      ++library.references;
      return &library;
    }
  return nullptr;
}

void* get_proc_address(Library* library, std::string_view entry) {
  if (library == &detail::system().libraries[0] && entry == "AlphaBlend")
    return reinterpret_cast<void*>(&alpha_blend_entry);
  return nullptr;
}

bool free_library(Library* library) {
  if (!library || library->references <= 0) return false;
  --library->references;
  return true;
}

unsigned tls_alloc() { return slots_used() < tls_slots ? slots_used()++ : TLS_OUT_OF_INDEXES; }

bool tls_set_value(unsigned index, void* value) {
  if (index >= slots_used()) return false;
  tls_values[index] = value;
  return true;
}

void* tls_get_value(unsigned index) { return index < slots_used() ? tls_values[index] : nullptr; }

}  // namespace native
