#pragma once
// The gadget layer: numbered child controls inside runtime windows. Each
// gadget is a record in the gadget registry whose first field is its native
// window; a table of operations per kind (GadgetType) tells the layer how to
// free, resize and query a gadget. Freeing a gadget destroys its native
// window; the clean-up runs when that window receives its last message.
#include "runtime/object_table.h"
#include "ui/windows.h"  // IGNORE_COORDINATE

#include <cstdint>

#include "native/windowing/messages.h"

namespace native {
struct Bitmap;
struct Cursor;
}  // namespace native

struct GadgetRecord;
struct CanvasState;

// Operations of one gadget kind. The number passed is the gadget's number,
// or its handle for a gadget made with OBJECT_ANY.
using GadgetCommandEntry = std::intptr_t (*)(GadgetRecord*, ObjectId number, std::uint32_t message,
                                             std::uintptr_t wparam, std::intptr_t lparam);
using GadgetFreeEntry = void (*)(GadgetRecord*, ObjectId number);
using GadgetResizeEntry = void (*)(GadgetRecord*, ObjectId number, int x, int y, int width, int height);
using GadgetPositionEntry = int (*)(GadgetRecord*, ObjectId number);
using GadgetGetAttributeEntry = std::intptr_t (*)(GadgetRecord*, ObjectId number, int attribute);
using GadgetSetAttributeEntry = void (*)(GadgetRecord*, ObjectId number, int attribute, std::intptr_t value);
using GadgetActivateEntry = void (*)(GadgetRecord*, ObjectId number);

struct GadgetType {
  std::int32_t type_code;
  std::int32_t size;
  GadgetCommandEntry command;
  GadgetFreeEntry free;
  GadgetResizeEntry resize;
  GadgetPositionEntry get_x;
  GadgetPositionEntry get_y;
  GadgetPositionEntry get_width;
  GadgetPositionEntry get_height;
  GadgetGetAttributeEntry get_attribute;
  GadgetSetAttributeEntry set_attribute;
  GadgetActivateEntry activate;
};

constexpr std::int32_t GADGET_TYPE_CANVAS = 33;

// Canvas fields of a gadget record.
struct CanvasRecord {
  native::Bitmap* bitmap;  // the backing store, or none
  std::uint32_t flags;
  // Low 8 bits: cursor index (0-11, or CURSOR_INDEX_HANDLE); CURSOR_INSIDE
  // while the mouse is over the canvas.
  std::uint32_t cursor_state;
  native::Cursor* cursor;
};

struct GadgetRecord {
  native::Window* handle;  // 0: the slot is empty
  const GadgetType* type;
  std::intptr_t reserved;  // not used by the canvas
  native::WindowProc previous_procedure;
  CanvasRecord canvas;  // the canvas is the only kind there is
};

// The gadget-list state: the window new gadgets go into and a stack of
// container windows.
struct GadgetListState {
  native::Window* parent;
  native::Window** stack;
  std::int32_t count;
  std::int32_t capacity;
};

// The gadget layer's state block, one per runtime start.
struct GadgetState {
  void* default_font;
  ObjectTable* table;
  GadgetListState list;
  char16_t list_property[32];        // "VX_GadgetStack_<instance>"
  native::Window* auxiliary_window;  // none is ever made here
  CanvasState* canvas;               // made with the first canvas
};

// Start-up step after the window layer; shutdown step before the windows are
// freed (gadgets still clean up after it, when their windows go).
void init_gadgets();
void shutdown_gadgets();
GadgetState* gadget_state();
ObjectTable* gadget_table();

// The live record of a gadget, or null.
GadgetRecord* gadget_record(ObjectId number);
native::Window* gadget_handle(ObjectId number);

// Second half of creating any gadget, once its native window exists: fills
// the record, subclasses the window and numbers it. Answers the identity for
// OBJECT_ANY, else the native handle.
ObjectId register_gadget(GadgetRecord* record, ObjectId number, native::Window* window, const GadgetType* type);

// Destroys the gadget's native window; -1 frees every gadget. 0 when the
// number names no gadget.
std::intptr_t free_gadget(ObjectId number);
// Moves and sizes a gadget; IGNORE_COORDINATE keeps a coordinate as it is.
void resize_gadget(ObjectId number, int x, int y, int width, int height);
// Lets the gadget take the keyboard focus if its kind wants it.
void activate_gadget(ObjectId number);

// Offers a parent window's message to the control it came from. True with
// `result` set when that control is a gadget whose command handler took it.
bool offer_to_gadget(native::Window* control, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                     std::intptr_t& result);

// Properties on every gadget window.
inline constexpr char16_t GADGET_ID_PROPERTY[] = u"VX_ID";
