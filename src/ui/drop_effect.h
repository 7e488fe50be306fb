#pragma once
// Which action a drop performs, from what the target accepts, what the drag
// source allows and the keys held (Shift 4, Control 8, Alt 0x20).
#include <cstdint>

constexpr std::uint32_t DROP_NONE = 0;
constexpr std::uint32_t DROP_COPY = 1;
constexpr std::uint32_t DROP_MOVE = 2;
constexpr std::uint32_t DROP_LINK = 4;

constexpr std::uint32_t KEY_SHIFT = 4;
constexpr std::uint32_t KEY_CONTROL = 8;
constexpr std::uint32_t KEY_ALT = 0x20;

std::uint32_t choose_drop_effect(std::uint32_t key_state, std::uint32_t accepted, std::uint32_t allowed);
