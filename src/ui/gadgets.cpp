#include "ui/gadgets.h"

#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/window_procedure.h"

#include "native/windowing/window.h"
#include "runtime/general_heap.h"

namespace {

GadgetState* state = nullptr;
std::uint64_t state_heap = 0;  // the general heap the state lives in

// The state lives in the general heap: once that heap is gone, so is it, even
// if hooks of other layers still lead here.
GadgetState* live_state() {
  return state && general_heap() && general_heap_generation() == state_heap ? state : nullptr;
}

constexpr std::int32_t GADGET_SLOTS = 50;
constexpr std::uint32_t COMMON_CONTROL_CLASSES = 0xB48;
// Stands in for the program's instance handle in per-program property names.
constexpr int PROGRAM_INSTANCE = 1;
constexpr std::intptr_t FREED_GADGET_ID = -1;

// The registry's release operation.
std::intptr_t destroy_gadget_window(ObjectId number) {
  auto* record = static_cast<GadgetRecord*>(get_object(gadget_table(), number));
  if (!record) return 0;
  return native::destroy_window(record->handle) ? 1 : 0;
}

void make_state(void* block) {
  auto* s = static_cast<GadgetState*>(block);
  // The platform has no font objects: gadgets draw with the default face.
  s->default_font = nullptr;
  s->table = create_table(sizeof(GadgetRecord), GADGET_SLOTS, destroy_gadget_window);
  const char16_t prefix[] = u"VX_GadgetStack_";
  std::size_t n = 0;
  for (; prefix[n]; ++n) s->list_property[n] = prefix[n];
  // The instance is a small positive number: its decimal digits follow.
  char16_t digits[12];
  std::size_t count = 0;
  for (int value = PROGRAM_INSTANCE; value > 0 || count == 0; value /= 10)
    digits[count++] = static_cast<char16_t>(u'0' + value % 10);
  while (count) s->list_property[n++] = digits[--count];
  s->list_property[n] = 0;
}

// The record of a live gadget window, checked both ways so a stray control
// identifier never leads to another gadget's record.
GadgetRecord* record_of_window(native::Window* window, ObjectId& number) {
  number = native::get_window_long(window, native::GWL_ID);
  if (number == FREED_GADGET_ID) return nullptr;
  auto* record = static_cast<GadgetRecord*>(get_object(gadget_table(), number));
  return record && record->handle == window ? record : nullptr;
}

// Clean-up once the window has had its last message.
void clean_up_gadget(GadgetRecord* record, ObjectId number, native::Window* window) {
  if (record->type && record->type->free) record->type->free(record, number);
  native::remove_prop(window, GADGET_ID_PROPERTY);
  release_drop_target(window);
  native::set_window_long(window, native::GWL_ID, FREED_GADGET_ID);
  purge_gadget_events(EVENT_GADGET, number, -1, -1);
  free_object(gadget_table(), number);
}

std::intptr_t gadget_subclass_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                                        std::intptr_t lparam) {
  ObjectId number = 0;
  GadgetRecord* record = record_of_window(window, number);
  if (!record) return native::def_window_proc(window, message, wparam, lparam);
  native::WindowProc previous = record->previous_procedure;
  std::intptr_t result = previous ? native::call_window_proc(previous, window, message, wparam, lparam)
                                  : native::def_window_proc(window, message, wparam, lparam);
  if (message == native::WM_NCDESTROY) {
    // The previous procedure may have freed the gadget itself.
    if (GadgetRecord* still = record_of_window(window, number)) clean_up_gadget(still, number, window);
  }
  return result;
}

bool is_ignored(int coordinate) { return coordinate == IGNORE_COORDINATE; }

}  // namespace

void init_gadgets() {
  state_heap = general_heap_generation();
  state = static_cast<GadgetState*>(allocate_state_block(sizeof(GadgetState), make_state, nullptr));
  native::init_common_controls(COMMON_CONTROL_CLASSES);
  // The window procedure offers its controls' messages to the gadgets.
  set_gadget_command_handler(offer_to_gadget);
}

void shutdown_gadgets() {
  GadgetState* s = live_state();
  if (!s || !s->auxiliary_window) return;
  native::destroy_window(s->auxiliary_window);
  s->auxiliary_window = nullptr;
}

GadgetState* gadget_state() { return live_state(); }
ObjectTable* gadget_table() {
  GadgetState* s = live_state();
  return s ? s->table : nullptr;
}

GadgetRecord* gadget_record(ObjectId number) { return static_cast<GadgetRecord*>(get_object(gadget_table(), number)); }

native::Window* gadget_handle(ObjectId number) {
  GadgetRecord* record = gadget_record(number);
  return record ? record->handle : nullptr;
}

ObjectId register_gadget(GadgetRecord* record, ObjectId number, native::Window* window, const GadgetType* type) {
  const bool any = number == OBJECT_ANY;
  if (any) number = handle_of(record);
  native::WindowProc previous = native::set_window_proc(window, gadget_subclass_procedure);
  if (!previous) return 0;
  record->handle = window;
  record->type = type;
  record->previous_procedure = previous;
  native::set_window_long(window, native::GWL_ID, number);
  native::set_prop(window, GADGET_ID_PROPERTY, reinterpret_cast<void*>(number));
  native::send_message(window, native::WM_SETFONT, reinterpret_cast<std::uintptr_t>(gadget_state()->default_font), 1);
  return any ? number : reinterpret_cast<ObjectId>(window);
}

std::intptr_t free_gadget(ObjectId number) {
  ObjectTable* table = gadget_table();
  if (!table) return 0;
  if (number == OBJECT_ANY) {
    release_all(table);
    return 1;
  }
  return get_object(table, number) ? destroy_gadget_window(number) : 0;
}

void resize_gadget(ObjectId number, int x, int y, int width, int height) {
  GadgetRecord* record = gadget_record(number);
  if (!record) return;
  const GadgetType* type = record->type;
  if (is_ignored(x) || is_ignored(y) || is_ignored(width) || is_ignored(height)) {
    // Unchanged coordinates come from the kind when it knows them, else from
    // where the window stands in its parent.
    native::Rect rect = native::get_window_rect(record->handle);
    native::Point corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    native::map_window_points(nullptr, native::get_parent(record->handle), corners, 2);
    auto pick = [&](int given, GadgetPositionEntry getter, int current) {
      if (!is_ignored(given)) return given;
      return getter ? getter(record, number) : current;
    };
    x = pick(x, type->get_x, corners[0].x);
    y = pick(y, type->get_y, corners[0].y);
    width = pick(width, type->get_width, corners[1].x - corners[0].x);
    height = pick(height, type->get_height, corners[1].y - corners[0].y);
  }
  if (type->resize)
    type->resize(record, number, x, y, width, height);
  else
    native::move_window(record->handle, x, y, width, height, true);
}

void activate_gadget(ObjectId number) {
  GadgetRecord* record = gadget_record(number);
  if (record && record->type->activate) record->type->activate(record, number);
}

bool offer_to_gadget(native::Window* control, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                     std::intptr_t& result) {
  if (!control || !gadget_table()) return false;
  ObjectId number = native::get_window_long(control, native::GWL_ID);
  if (reinterpret_cast<ObjectId>(native::get_prop(control, GADGET_ID_PROPERTY)) != number) return false;
  ObjectId checked = 0;
  GadgetRecord* record = record_of_window(control, checked);
  if (!record || !record->type->command) return false;
  std::intptr_t answer = record->type->command(record, number, message, wparam, lparam);
  if (answer == NOT_HANDLED) return false;
  result = answer;
  return true;
}
