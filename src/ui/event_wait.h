#pragma once
// The one blocking call of the program: the next queued event, or else one
// native message fetched and dispatched, its parameters kept for the program.
#include "runtime/object_table.h"

#include <cstdint>

namespace native {
struct Window;
}

// Start-up: the event queue, plus a hidden window through which events
// raised on other threads reach this thread's queue. Shutdown destroys it.
void init_events();
void shutdown_events();

// A queued event's code; else the number of the one native message it
// fetched and dispatched; 0 when nothing came within timeout_ms (-1: wait for
// ever, 0: do not wait).
std::int32_t wait_window_event(std::int32_t timeout_ms = -1);

// What another thread hands the hidden window's message: the record is the
// message's lParam, made from the general heap and freed once posted.
struct PostedEventRecord {
  std::uint32_t reserved;
  std::int32_t event;
  ObjectId object;
  ObjectId window;
  std::int32_t type;
  void* data;
};
std::uint32_t posted_event_message();
native::Window* posted_event_window();

// The parameters of the last native message the event wait fetched, for the
// program to read after the wait answered a message number.
struct MessageState {
  std::uintptr_t wparam;
  std::intptr_t lparam;
  std::uintptr_t wparam_copy;
  std::intptr_t lparam_copy;
};

void init_message_state();
MessageState* message_state();
void remember_message(std::uintptr_t wparam, std::intptr_t lparam);
void forget_message();
