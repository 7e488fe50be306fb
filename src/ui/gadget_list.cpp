// Which window new gadgets go into. The live state sits in the gadget layer's
// state block; every window that has been current keeps its own copy in a
// property while another window is current.
#include "ui/gadget_list.h"

#include "ui/gadgets.h"

#include "native/windowing/window.h"
#include "runtime/general_heap.h"

#include <cstring>

namespace {

constexpr std::int32_t INITIAL_CAPACITY = 10;

struct GadgetListRecord {
  GadgetListState saved;
  native::WindowProc previous_procedure;
};

GadgetListRecord* record_of(native::Window* window) {
  GadgetState* s = gadget_state();
  return static_cast<GadgetListRecord*>(native::get_prop(window, s->list_property));
}

std::intptr_t gadget_list_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                                    std::intptr_t lparam) {
  GadgetState* s = gadget_state();
  GadgetListRecord* record = s ? record_of(window) : nullptr;
  if (!record) return native::def_window_proc(window, message, wparam, lparam);
  std::intptr_t result = native::call_window_proc(record->previous_procedure, window, message, wparam, lparam);
  if (message == native::WM_NCDESTROY) {
    native::remove_prop(window, s->list_property);
    // The live copy is the newer one while this window is current.
    native::Window** stack = record->saved.stack;
    if (s->list.parent == window) {
      stack = s->list.stack;
      s->list = {};
    }
    general_free(stack);
    general_free(record);
  }
  return result;
}

// A fresh record with an empty stack, and the window subclassed so that the
// record goes with it.
GadgetListRecord* make_record(native::Window* window) {
  auto* record = static_cast<GadgetListRecord*>(general_alloc(sizeof(GadgetListRecord)));
  if (!record) return nullptr;
  record->saved.parent = window;
  record->saved.stack = static_cast<native::Window**>(general_alloc(sizeof(native::Window*) * INITIAL_CAPACITY));
  record->saved.capacity = record->saved.stack ? INITIAL_CAPACITY : 0;
  if (!native::set_prop(window, gadget_state()->list_property, record)) {
    general_free(record->saved.stack);
    general_free(record);
    return nullptr;
  }
  record->previous_procedure = native::set_window_proc(window, gadget_list_procedure);
  return record;
}

}  // namespace

native::Window* use_gadget_list(native::Window* window) {
  GadgetState* s = gadget_state();
  if (!s) return nullptr;
  native::Window* previous = s->list.parent;
  if (!window) return previous;
  if (!native::is_window(window)) return previous;

  if (previous && native::is_window(previous)) {
    if (GadgetListRecord* old = record_of(previous)) old->saved = s->list;
  }
  GadgetListRecord* record = record_of(window);
  if (!record) record = make_record(window);
  if (!record) return previous;
  s->list = record->saved;
  s->list.parent = window;
  return previous;
}
