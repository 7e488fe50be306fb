#pragma once
// An option's value as a whole number: all of the text, nothing around it.
#include <charconv>
#include <optional>
#include <string_view>

inline std::optional<int> parse_whole_number(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}
