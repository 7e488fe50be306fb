#include "ui/message_state.h"

#include "runtime/object_table.h"

namespace {
MessageState* state = nullptr;
}  // namespace

void init_message_state() {
  state = static_cast<MessageState*>(allocate_state_block(sizeof(MessageState), nullptr, nullptr));
}

MessageState* message_state() { return state; }

void remember_message(std::uintptr_t wparam, std::intptr_t lparam) {
  if (state) *state = {wparam, lparam, wparam, lparam};
}

void forget_message() { remember_message(0, 0); }
