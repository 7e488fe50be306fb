#pragma once
// The one message queue: posting, fetching (one message per fetch), waiting,
// translating keys into characters, dispatching, quitting, registered
// message numbers.
//
// Fetch order when several kinds are pending: posted messages, then input,
// then the quit request, then WM_PAINT for windows with something invalid,
// then WM_TIMER for a due timer.
// When nothing is pending the blocking fetch asks the backend to wait.
#include "native/windowing/messages.h"

#include <cstdint>
#include <string_view>

namespace native {

// Queues a message for `window` (null: a message for the thread). False for
// a stale window.
bool post_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
// Blocks until a message is there; false only for WM_QUIT. Filters: null
// window = any, else that window and its descendants; min = max = 0: any
// message number.
bool get_message(Message& out, Window* window = nullptr, std::uint32_t min = 0, std::uint32_t max = 0);
// PM_REMOVE / PM_NOREMOVE (| PM_NOYIELD). True when a message was there.
bool peek_message(Message& out, Window* window, std::uint32_t min, std::uint32_t max, std::uint32_t flags);
// WAIT_OBJECT_0 as soon as input or a posted message is there, WAIT_TIMEOUT
// after timeout_ms (INFINITE waits for ever). No objects are supported.
std::uint32_t msg_wait_for_multiple_objects(std::uint32_t timeout_ms, std::uint32_t wake_mask = QS_ALLINPUT);
// Posts WM_CHAR / WM_SYSCHAR for a key-down that makes a character. Answers
// true for every key message.
bool translate_message(const Message& message);
std::intptr_t dispatch_message(const Message& message);
void post_quit_message(int exit_code);
// Same name (ignoring ASCII case) → same number in 0xC000..0xFFFF; 0 for an
// empty name.
std::uint32_t register_window_message(std::u16string_view name);

// Milliseconds since init, as stamped on messages.
std::uint32_t get_tick_count();
// The pointer position of the last fetched message, packed as signed 16-bit
// x | y << 16, and its time.
std::uint32_t get_message_pos();
std::uint32_t get_message_time();

// Messages waiting (posted and input, not paint), for tests.
std::size_t queued_message_count();

// --- used by backends ------------------------------------------------------

// A key or button that changes when this input message is fetched: the
// per-message key state follows it then, the "now" state already did.
struct KeyChange {
  std::uint8_t key = 0;  // 0 = none
  bool down = false;
};
// Queues an input message stamped with the current time and pointer position.
bool post_input_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                        KeyChange change = {}, KeyChange second = {});

}  // namespace native
