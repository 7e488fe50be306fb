#pragma once
// The procedure of every numbered window's class: the runtime's message-to-
// event rules, then default processing for what they leave.
#include <cstdint>

namespace native {
struct Window;
}

// The two answers a runtime window procedure gives besides ordinary results.
// The message goes on to default processing.
constexpr std::intptr_t NOT_HANDLED = static_cast<std::intptr_t>(0xD0D0D0D1u);
// A message callback declined the message: the runtime handles it itself.
constexpr std::intptr_t CALLBACK_DEFAULT = static_cast<std::intptr_t>(0xE0E0E0E1u);

std::intptr_t window_class_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam);
// The rules alone; NOT_HANDLED for what default processing should see.
std::intptr_t window_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam);
