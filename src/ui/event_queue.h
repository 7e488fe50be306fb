#pragma once
// The per-thread event queue. Window procedures, menus, gadgets and the drop
// target post events; the event wait takes them one per call, in posting
// order. An event identical to the one last queued is not queued again, so a
// burst of equal events occupies one entry.
#include "runtime/object_table.h"

#include <cstdint>

// The numbered events the runtime raises. Every event carries its code, the
// object concerned, the number of the top-level window (or -1 when the window
// has no record yet) and a type.
constexpr std::int32_t EVENT_GADGET = 13100;
constexpr std::int32_t EVENT_MENU = 13101;
constexpr std::int32_t EVENT_SYSTRAY = 13102;
constexpr std::int32_t EVENT_ACTIVATE_WINDOW = 13104;
constexpr std::int32_t EVENT_WINDOW_DROP = 13105;
constexpr std::int32_t EVENT_GADGET_DROP = 13106;
constexpr std::int32_t EVENT_MINIMIZE_WINDOW = 13107;
constexpr std::int32_t EVENT_MAXIMIZE_WINDOW = 13108;
constexpr std::int32_t EVENT_RESTORE_WINDOW = 13109;
constexpr std::int32_t EVENT_TIMER = 13110;
constexpr std::int32_t EVENT_RIGHT_CLICK = 13111;
constexpr std::int32_t EVENT_LEFT_CLICK = 13112;
constexpr std::int32_t EVENT_LEFT_DOUBLE_CLICK = 13113;
constexpr std::int32_t EVENT_DEACTIVATE_WINDOW = 13114;
constexpr std::int32_t EVENT_REPAINT = 13115;
constexpr std::int32_t EVENT_CLOSE_WINDOW = 13116;
constexpr std::int32_t EVENT_MOVE_WINDOW = 13117;
constexpr std::int32_t EVENT_SIZE_WINDOW = 13118;

// Events with codes from here on are never collapsed into their predecessor.
constexpr std::int32_t FIRST_UNCOLLAPSED_EVENT = 65536;

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
