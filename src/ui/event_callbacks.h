#pragma once
// Callbacks bound to events: each runs whenever a matching event is posted,
// before the program takes it. A binding names the event code and, or -1 for
// "any", the window, object and type.
#include "runtime/object_table.h"

#include <cstdint>

using EventCallback = void (*)();

void init_event_callbacks();
void shutdown_event_callbacks();

void bind_event_callback(std::int32_t code, ObjectId window, ObjectId object, std::int32_t type,
                         EventCallback callback);
// Forgets every binding made for a window (when the window is freed).
void unbind_window_callbacks(ObjectId window);

bool has_bound_callbacks();
// Runs the callbacks bound to (code, window, object, type), then to the same
// with type -1, with object and type -1, to the code alone, and to the code
// with object and type and any window.
void run_bound_callbacks(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type);
