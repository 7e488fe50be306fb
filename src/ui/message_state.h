#pragma once
// The parameters of the last native message the event wait fetched, for the
// program to read after the wait answered a message number.
#include <cstdint>

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
