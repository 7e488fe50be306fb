// Canvas gadgets: creation, the backing store, painting, resizing,
// attributes and the drawing output. The message handling is in
// canvas_input.cpp.
#include "ui/canvas_state.h"

#include "ui/event_queue.h"
#include "ui/gadget_list.h"

#include "image/bitmap_output.h"
#include "native/graphics/bitmap.h"
#include "native/windowing/input_state.h"
#include "native/windowing/paint.h"
#include "native/windowing/window.h"
#include "runtime/general_heap.h"
#include "runtime/record_pool.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t CANVAS_STYLE = native::WS_CHILD | native::WS_VISIBLE;
constexpr std::uint32_t KEYBOARD_STYLE = 0x30000;  // tab stop and group start
constexpr int BORDER_LOSS = 4;                     // two pixels of edge on each side
constexpr std::int32_t EVENT_POOL_MINIMUM = 16;
constexpr std::int32_t EVENT_POOL_MAXIMUM = 1024;
constexpr std::uint32_t WHITE = 0xFFFFFF;

constexpr int CURSOR_IDS[CANVAS_CURSOR_COUNT] = {native::IDC_ARROW,    native::IDC_CROSS,    native::IDC_IBEAM,
                                                 native::IDC_HAND,     native::IDC_WAIT,     native::IDC_NO,
                                                 native::IDC_SIZEALL,  native::IDC_SIZEWE,   native::IDC_SIZENS,
                                                 native::IDC_SIZENWSE, native::IDC_SIZENESW, 0};

// Makes (or remakes at a new size) the backing store. A new one is white and
// keeps the old picture at its top-left; on failure the old one stays.
bool build_backing_store(GadgetRecord* record, int width, int height) {
  if (record->canvas.flags & CANVAS_BORDER) {
    width = width > BORDER_LOSS ? width - BORDER_LOSS : 0;
    height = height > BORDER_LOSS ? height - BORDER_LOSS : 0;
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
  native::DeviceContext* dc = native::create_compatible_dc();
  native::Bitmap* bitmap = dc ? native::create_dib_section(width, height, 24) : nullptr;
  if (!bitmap || !native::select_object(dc, bitmap)) {
    native::delete_object(bitmap);
    native::delete_dc(dc);
    return false;
  }
  std::memset(bitmap->bits, 0xFF, bitmap->stride * static_cast<std::size_t>(bitmap->height));
  if (native::Bitmap* old = record->canvas.bitmap) {
    draw_bitmap(dc, 0, 0, old);
    // A drawing pass still holding the old bitmap keeps it until it ends.
    native::delete_object(old);
  }
  record->canvas.bitmap = bitmap;
  native::delete_dc(dc);
  return true;
}

native::Brush* white_brush() { return native::create_solid_brush(WHITE); }

void fill_white(native::DeviceContext* dc, const native::Rect& rect) {
  native::Brush* white = white_brush();
  native::fill_rect(dc, rect, white);
  native::delete_object(white);
}

// A dotted rectangle inverted into the pixels, so drawing it twice removes it.
void draw_focus_rect(native::DeviceContext* dc, const native::Rect& r) {
  native::Bitmap* b = dc->bitmap;
  if (!b || r.right <= r.left || r.bottom <= r.top) return;
  auto invert = [b](int x, int y) {
    if (x < 0 || y < 0 || x >= b->width || y >= b->height) return;
    native::write_pixel(*b, x, y, native::read_pixel(*b, x, y) ^ 0xFFFFFF);
  };
  for (int x = r.left; x < r.right; x += 2) {
    invert(x, r.top);
    if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
  }
  for (int y = r.top + 2; y < r.bottom - 1; y += 2) {
    invert(r.left, y);
    if (r.right - 1 > r.left) invert(r.right - 1, y);
  }
}

bool paint_with_focus(GadgetRecord* record, native::DeviceContext* dc, const native::Rect& client) {
  native::DeviceContext* memory = native::create_compatible_dc(dc);
  native::Bitmap* composed = memory ? native::create_compatible_bitmap(client.right, client.bottom) : nullptr;
  bool ok = composed && native::select_object(memory, composed);
  if (ok) {
    if (!record->canvas.bitmap || !draw_bitmap(memory, 0, 0, record->canvas.bitmap)) fill_white(memory, client);
    draw_focus_rect(memory, {client.left + 2, client.top + 2, client.right - 2, client.bottom - 2});
    ok = native::bit_blt(dc, 0, 0, client.right, client.bottom, memory, 0, 0);
  }
  native::delete_dc(memory);
  native::delete_object(composed);
  return ok;
}

// --- type entries ----------------------------------------------------------

void free_canvas(GadgetRecord* record, ObjectId) {
  release_confinement(record->handle);
  native::remove_prop(record->handle, CANVAS_RECORD_PROPERTY);
  native::delete_object(record->canvas.bitmap);
  record->canvas.bitmap = nullptr;
}

void resize_canvas(GadgetRecord* record, ObjectId, int x, int y, int width, int height) {
  native::move_window(record->handle, x, y, width, height, true);
  native::Rect outer = native::get_window_rect(record->handle);
  build_backing_store(record, outer.right - outer.left, outer.bottom - outer.top);
  repaint_canvas(record);
}

// The current event's record when it is this canvas's event.
const CanvasEventData* current_event_data(ObjectId number) {
  if (event_code() != EVENT_GADGET || event_object() != number) return nullptr;
  return static_cast<const CanvasEventData*>(event_data());
}

std::intptr_t get_canvas_entry(GadgetRecord* record, ObjectId number, int attribute) {
  const CanvasRecord& canvas = record->canvas;
  const std::uint32_t index = canvas.cursor_state & CURSOR_INDEX_MASK;
  switch (attribute) {
    case CANVAS_ATTRIBUTE_BITMAP: return reinterpret_cast<std::intptr_t>(canvas.bitmap);
    case CANVAS_ATTRIBUTE_CURSOR: return index == CURSOR_INDEX_HANDLE ? -1 : static_cast<std::intptr_t>(index);
    case CANVAS_ATTRIBUTE_CLIP: return canvas_state()->confining == record->handle ? 1 : 0;
    case CANVAS_ATTRIBUTE_CURSOR_HANDLE:
      return index == CURSOR_INDEX_HANDLE ? reinterpret_cast<std::intptr_t>(canvas.cursor) : 0;
    default: break;
  }
  const CanvasEventData* data = current_event_data(number);
  if (!data) return 0;
  switch (attribute) {
    case CANVAS_ATTRIBUTE_X: return data->x;
    case CANVAS_ATTRIBUTE_Y: return data->y;
    case CANVAS_ATTRIBUTE_BUTTONS: return data->buttons;
    case CANVAS_ATTRIBUTE_KEY: return data->key;
    case CANVAS_ATTRIBUTE_MODIFIERS: return data->modifiers;
    case CANVAS_ATTRIBUTE_WHEEL: return data->wheel;
    case CANVAS_ATTRIBUTE_INPUT: return data->input;
    default: return 0;
  }
}

void use_cursor(GadgetRecord* record, std::uint32_t index, native::Cursor* cursor) {
  record->canvas.cursor_state = (record->canvas.cursor_state & ~CURSOR_INDEX_MASK) | index;
  record->canvas.cursor = cursor;
  if (record->canvas.cursor_state & CURSOR_INSIDE) native::set_cursor(cursor);
}

void set_canvas_entry(GadgetRecord* record, ObjectId, int attribute, std::intptr_t value) {
  CanvasState* s = canvas_state();
  switch (attribute) {
    case CANVAS_ATTRIBUTE_BITMAP: {
      auto* source = reinterpret_cast<native::Bitmap*>(value);
      if (native::get_object_type(source) != native::ObjectType::bitmap || !record->canvas.bitmap) return;
      native::DeviceContext* dc = native::create_compatible_dc();
      if (dc && native::select_object(dc, record->canvas.bitmap)) draw_bitmap(dc, 0, 0, source);
      native::delete_dc(dc);
      repaint_canvas(record);
      return;
    }
    case CANVAS_ATTRIBUTE_CURSOR: {
      if (value < 0 || value >= CANVAS_CURSOR_COUNT) return;
      auto index = static_cast<std::size_t>(value);
      if (!s->cursors[index] && CURSOR_IDS[index]) s->cursors[index] = native::load_cursor(CURSOR_IDS[index]);
      use_cursor(record, static_cast<std::uint32_t>(index), s->cursors[index]);
      return;
    }
    case CANVAS_ATTRIBUTE_CLIP:
      if (value) {
        confine_cursor(record->handle);
        native::set_capture(record->handle);
      } else {
        release_confinement(record->handle);
      }
      return;
    case CANVAS_ATTRIBUTE_CURSOR_HANDLE: {
      auto* cursor = reinterpret_cast<native::Cursor*>(value);
      // Only a live cursor: a made-up value must never reach the pointer.
      if (native::cursor_id(cursor) == 0) return;
      use_cursor(record, CURSOR_INDEX_HANDLE, cursor);
      return;
    }
    default: return;
  }
}

void activate_canvas(GadgetRecord* record, ObjectId) {
  if (record->canvas.flags & CANVAS_KEYBOARD) native::set_focus(record->handle);
}

// What the first canvas of a runtime start sets up.
bool ensure_canvas_state() {
  GadgetState* gadgets = gadget_state();
  if (!gadgets) return false;
  if (gadgets->canvas) return true;
  auto* s = static_cast<CanvasState*>(general_alloc(sizeof(CanvasState)));
  if (!s) return false;
  s->type = {GADGET_TYPE_CANVAS,
             sizeof(GadgetType),
             nullptr,
             free_canvas,
             resize_canvas,
             nullptr,
             nullptr,
             nullptr,
             nullptr,
             get_canvas_entry,
             set_canvas_entry,
             activate_canvas};
  s->event_pool = create_pool(sizeof(CanvasEventData), EVENT_POOL_MINIMUM, EVENT_POOL_MAXIMUM, 0);
  s->cursors[0] = native::load_cursor(native::IDC_ARROW);
  native::WindowClassInfo info{};
  info.style = native::CS_DBLCLKS;
  info.procedure = canvas_procedure;
  info.name = CANVAS_CLASS_NAME;
  native::WindowClassInfo existing{};
  bool registered = native::register_class(info) || native::get_class_info(CANVAS_CLASS_NAME, existing);
  if (!s->event_pool || !registered) {
    if (s->event_pool) destroy_pool(s->event_pool);
    general_free(s);
    return false;
  }
  gadgets->canvas = s;
  return true;
}

}  // namespace

CanvasState* canvas_state() {
  GadgetState* gadgets = gadget_state();
  return gadgets ? gadgets->canvas : nullptr;
}

GadgetRecord* canvas_of(native::Window* window, ObjectId& number) {
  auto* record = static_cast<GadgetRecord*>(native::get_prop(window, CANVAS_RECORD_PROPERTY));
  // Before registration the record has no handle yet.
  if (!record || record->handle != window) return nullptr;
  number = native::get_window_long(window, native::GWL_ID);
  return record;
}

GadgetRecord* canvas_record(ObjectId number) {
  GadgetRecord* record = gadget_record(number);
  return record && record->type->type_code == GADGET_TYPE_CANVAS ? record : nullptr;
}

bool draw_bitmap(native::DeviceContext* target, int x, int y, native::Bitmap* bitmap) {
  if (native::get_object_type(bitmap) != native::ObjectType::bitmap) return false;
  // A bitmap held by a drawing pass is read through the pass's own context.
  if (const native::DeviceContext* holder = bitmap->selected_into)
    return native::bit_blt(target, x, y, bitmap->width, bitmap->height, holder, 0, 0);
  native::DeviceContext* dc = native::create_compatible_dc();
  bool ok =
      dc && native::select_object(dc, bitmap) && native::bit_blt(target, x, y, bitmap->width, bitmap->height, dc, 0, 0);
  native::delete_dc(dc);
  return ok;
}

void paint_canvas(GadgetRecord* record, native::Window* window, native::DeviceContext* dc) {
  native::Rect client = native::get_client_rect(window);
  bool focus_shown = (record->canvas.flags & CANVAS_DRAW_FOCUS) && native::get_focus() == window && client.right > 0 &&
                     client.bottom > 0;
  if (focus_shown && paint_with_focus(record, dc, client)) return;
  if (!record->canvas.bitmap || !draw_bitmap(dc, 0, 0, record->canvas.bitmap)) fill_white(dc, client);
}

void repaint_canvas(GadgetRecord* record) {
  native::DeviceContext* dc = native::get_dc(record->handle);
  if (!dc) return;
  paint_canvas(record, record->handle, dc);
  native::release_dc(record->handle, dc);
}

void confine_cursor(native::Window* window) {
  native::Rect client = native::get_client_rect(window);
  native::Point corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
  native::map_window_points(window, nullptr, corners, 2);
  native::Rect screen{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  native::clip_cursor(&screen);
  canvas_state()->confining = window;
}

void release_confinement(native::Window* window) {
  CanvasState* s = canvas_state();
  if (!s || s->confining != window) return;
  native::clip_cursor(nullptr);
  if (native::get_capture() == window) native::release_capture();
  s->confining = nullptr;
}

ObjectId create_canvas(ObjectId number, int x, int y, int width, int height, std::uint32_t flags) {
  if (!ensure_canvas_state()) return 0;
  auto* record = static_cast<GadgetRecord*>(allocate_object(gadget_table(), number));
  if (!record) return 0;
  const ObjectId id = number == OBJECT_ANY ? handle_of(record) : number;
  std::uint32_t style = CANVAS_STYLE | ((flags & CANVAS_KEYBOARD) ? KEYBOARD_STYLE : 0);
  std::uint32_t ex_style = (flags & CANVAS_BORDER) ? native::WS_EX_CLIENTEDGE : 0;
  native::Window* window = native::create_window(ex_style, CANVAS_CLASS_NAME, u"", style, x, y, width, height,
                                                 use_gadget_list(nullptr), nullptr, -1);
  if (!window) {
    free_object(gadget_table(), id);
    return 0;
  }
  native::set_prop(window, CANVAS_RECORD_PROPERTY, record);
  record->canvas = {nullptr, flags, 0, canvas_state()->cursors[0]};
  ObjectId result =
      build_backing_store(record, width, height) ? register_gadget(record, number, window, &canvas_state()->type) : 0;
  if (!result) {
    native::delete_object(record->canvas.bitmap);
    record->canvas.bitmap = nullptr;
    record->handle = nullptr;  // no clean-up may run for a gadget that never was
    native::destroy_window(window);
    free_object(gadget_table(), id);
  }
  return result;
}

std::intptr_t get_canvas_attribute(ObjectId canvas, int attribute) {
  GadgetRecord* record = gadget_record(canvas);
  if (!record || !record->type->get_attribute) return 0;
  return record->type->get_attribute(record, canvas, attribute);
}

void set_canvas_attribute(ObjectId canvas, int attribute, std::intptr_t value) {
  GadgetRecord* record = gadget_record(canvas);
  if (record && record->type->set_attribute) record->type->set_attribute(record, canvas, attribute, value);
}

// The canvas output provider: a drawing context on the backing store. Ending
// the pass paints the canvas at once, so the picture shows without waiting
// for the next paint message.
namespace {

void release_canvas_output(DrawingContext* context, int commit) {
  release_bitmap_output(context);
  if (!commit) return;
  // The canvas may have gone (or been replaced) during the pass.
  if (GadgetRecord* record = canvas_record(context->canvas_number)) repaint_canvas(record);
}

}  // namespace

DrawingContext* canvas_output(ObjectId number) {
  GadgetRecord* record = canvas_record(number);
  if (!record) return nullptr;
  DrawingContext* context =
      bitmap_output(record->canvas.bitmap, FORMAT_24_BGR | FORMAT_BOTTOM_UP, release_canvas_output);
  if (context) context->canvas_number = number;
  return context;
}
