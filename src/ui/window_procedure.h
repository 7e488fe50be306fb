#pragma once
// The procedure of every numbered window's class: the runtime's message-to-
// event rules, then default processing for what they leave.
#include <cstdint>

namespace native { struct Window; }

std::intptr_t window_class_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam);
// The rules alone; NOT_HANDLED for what default processing should see.
std::intptr_t window_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam);
