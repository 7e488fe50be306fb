#pragma once
// The two answers a runtime window procedure gives besides ordinary results.
#include <cstdint>

// The message goes on to default processing.
constexpr std::intptr_t NOT_HANDLED = static_cast<std::intptr_t>(0xD0D0D0D1u);
// A message callback declined the message: the runtime handles it itself.
constexpr std::intptr_t CALLBACK_DEFAULT = static_cast<std::intptr_t>(0xE0E0E0E1u);
