#pragma once
// What the canvas files share: the process-wide canvas state (made with the
// first canvas of a runtime start) and the painting helpers.
#include "ui/canvas.h"

#include <cstdint>

namespace native {
struct DeviceContext;
}  // namespace native

struct RecordPool;

// Cursor state bits.
constexpr std::uint32_t CURSOR_INDEX_MASK = 0xFF;
constexpr std::uint32_t CURSOR_INDEX_HANDLE = 254;  // a cursor handle set by the program
constexpr std::uint32_t CURSOR_INSIDE = 0x10000;

struct CanvasState {
  GadgetType type;
  RecordPool* event_pool;
  native::Cursor* cursors[CANVAS_CURSOR_COUNT];
  std::int32_t wheel_accumulator;
  native::Window* confining;  // the canvas that holds the cursor in, or none
};

inline constexpr char16_t CANVAS_CLASS_NAME[] = u"VornelCanvas";
inline constexpr char16_t CANVAS_RECORD_PROPERTY[] = u"VX_Gadget";

// Null before the first canvas of this runtime start.
CanvasState* canvas_state();

// The canvas's record and number behind a canvas window, or null.
GadgetRecord* canvas_of(native::Window* window, ObjectId& number);
// The canvas record for a number, or null for other kinds.
GadgetRecord* canvas_record(ObjectId number);

// The class procedure of canvas windows.
std::intptr_t canvas_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam);

// Shows the backing store in the device context (focus rectangle included).
void paint_canvas(GadgetRecord* record, native::Window* window, native::DeviceContext* dc);
// Paints at once with the window's own device context.
void repaint_canvas(GadgetRecord* record);
// Draws a bitmap at its own size with its top-left corner at (x, y).
bool draw_bitmap(native::DeviceContext* target, int x, int y, native::Bitmap* bitmap);
// Frees the cursor if this canvas holds it in, and the capture with it.
void release_confinement(native::Window* window);
void confine_cursor(native::Window* window);
