#pragma once
// The canvas gadget: a child control that shows an off-screen 24-bit bitmap
// (its backing store), offers that bitmap to the drawing layer, and reports
// mouse, wheel, keyboard and focus happenings as EVENT_GADGET events that
// carry a CanvasEventData record.
#include "image/drawing_context.h"
#include "ui/gadgets.h"

#include <cstdint>

// Creation flags.
constexpr std::uint32_t CANVAS_BORDER = 0x1;      // sunken edge; the backing store is 4 pixels smaller each way
constexpr std::uint32_t CANVAS_CLIP_MOUSE = 0x2;  // the cursor stays inside while a button is held
constexpr std::uint32_t CANVAS_KEYBOARD = 0x4;    // tab stop; takes the focus when clicked
constexpr std::uint32_t CANVAS_DRAW_FOCUS = 0x8;  // a focus rectangle shows while it has the focus

// Event types of EVENT_GADGET from a canvas.
constexpr std::int32_t CANVAS_MOUSE_ENTERED = 0x10001;
constexpr std::int32_t CANVAS_MOUSE_LEFT = 0x10002;
constexpr std::int32_t CANVAS_MOUSE_MOVED = 0x10003;
constexpr std::int32_t CANVAS_LEFT_DOWN = 0x10004;
constexpr std::int32_t CANVAS_LEFT_UP = 0x10005;
constexpr std::int32_t CANVAS_RIGHT_DOWN = 0x10006;
constexpr std::int32_t CANVAS_RIGHT_UP = 0x10007;
constexpr std::int32_t CANVAS_MIDDLE_DOWN = 0x10008;
constexpr std::int32_t CANVAS_MIDDLE_UP = 0x10009;
constexpr std::int32_t CANVAS_WHEEL = 0x1000A;
constexpr std::int32_t CANVAS_KEY_DOWN = 0x1000B;
constexpr std::int32_t CANVAS_KEY_UP = 0x1000C;
constexpr std::int32_t CANVAS_INPUT = 0x1000D;
constexpr std::int32_t CANVAS_LEFT_CLICK = 0;
constexpr std::int32_t CANVAS_RIGHT_CLICK = 1;
constexpr std::int32_t CANVAS_LEFT_DOUBLE_CLICK = 2;
constexpr std::int32_t CANVAS_RIGHT_DOUBLE_CLICK = 3;
constexpr std::int32_t CANVAS_GOT_FOCUS = 14000;
constexpr std::int32_t CANVAS_LOST_FOCUS = 14001;

// Bits of CanvasEventData::buttons and ::modifiers.
constexpr std::int32_t CANVAS_BUTTON_LEFT = 1;
constexpr std::int32_t CANVAS_BUTTON_RIGHT = 2;
constexpr std::int32_t CANVAS_BUTTON_MIDDLE = 4;
constexpr std::int32_t CANVAS_MODIFIER_SHIFT = 1;
constexpr std::int32_t CANVAS_MODIFIER_ALT = 2;
constexpr std::int32_t CANVAS_MODIFIER_CONTROL = 4;

// Attributes.
constexpr int CANVAS_ATTRIBUTE_BITMAP = 1;
constexpr int CANVAS_ATTRIBUTE_X = 2;
constexpr int CANVAS_ATTRIBUTE_Y = 3;
constexpr int CANVAS_ATTRIBUTE_BUTTONS = 4;
constexpr int CANVAS_ATTRIBUTE_KEY = 5;
constexpr int CANVAS_ATTRIBUTE_MODIFIERS = 6;
constexpr int CANVAS_ATTRIBUTE_CURSOR = 7;
constexpr int CANVAS_ATTRIBUTE_WHEEL = 8;
constexpr int CANVAS_ATTRIBUTE_INPUT = 9;
constexpr int CANVAS_ATTRIBUTE_CLIP = 10;
constexpr int CANVAS_ATTRIBUTE_CURSOR_HANDLE = 11;

// Cursor indices (attribute 7): arrow, cross, I-beam, hand, busy, denied,
// move, left-right, up-down, two diagonals, and none (hidden).
constexpr int CANVAS_CURSOR_COUNT = 12;
constexpr int CANVAS_CURSOR_NONE = 11;

// The data record of every canvas event; valid until the next event is taken.
struct CanvasEventData {
  std::int32_t x;  // client coordinates of the pointer when the message was queued
  std::int32_t y;
  std::int32_t buttons;
  std::int32_t key;  // virtual key of key events
  std::int32_t modifiers;
  std::int32_t wheel;  // notches of wheel events
  std::int32_t input;  // character of input events
};

// For a fixed number the native handle, for OBJECT_ANY the new identity, 0 on
// failure. The canvas goes into the current gadget-list window.
ObjectId create_canvas(ObjectId number, int x, int y, int width, int height, std::uint32_t flags = 0);

// A drawing context on the canvas's backing store, already current, or null.
// Ending the pass repaints the canvas at once.
DrawingContext* canvas_output(ObjectId number);

// 0 for a number that names no canvas or an unknown attribute.
std::intptr_t get_canvas_attribute(ObjectId canvas, int attribute);
void set_canvas_attribute(ObjectId canvas, int attribute, std::intptr_t value);
