#pragma once
// The per-thread event queue. Window procedures, menus, gadgets and the drop
// target post events; the event wait takes them one per call, in posting
// order. An event identical to the one last queued is not queued again, so a
// burst of equal events occupies one entry.
#include "runtime/object_table.h"
#include "ui/event_codes.h"

#include <cstdint>

struct RecordPool;

// Frees an event's data record; called when the event is dropped or when the
// next event is taken.
using EventDataRelease = void (*)(void* data);

struct QueuedEvent {
  QueuedEvent* next;
  std::int32_t code;
  ObjectId object;
  ObjectId window;
  std::int32_t type;
  void* data;
  EventDataRelease release;
};

struct CurrentEvent {
  std::int32_t code;
  ObjectId window;
  ObjectId object;
  std::int32_t type;
  void* data;
  EventDataRelease release;
};

struct EventState {
  RecordPool* pool;
  QueuedEvent* head;
  QueuedEvent* tail;
  CurrentEvent current;
};

// Start-up and shutdown of the queue itself (the event wait adds its native
// parts on top).
void init_event_queue();
void shutdown_event_queue();
EventState* event_state();

void post_event(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type, void* data = nullptr,
                EventDataRelease release = nullptr);
// Releases the current event's data, then makes the oldest queued event
// current and answers its code; 0 when the queue is empty (the current
// object and window then keep their values).
std::int32_t take_event();

// Removes queued events: every event of a window, or every event whose fields
// each equal the given value or the given value is -1.
void purge_window_events(ObjectId window);
void purge_gadget_events(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type);

// The current event.
std::int32_t event_code();
ObjectId event_object();
ObjectId event_window();
std::int32_t event_type();
void* event_data();
