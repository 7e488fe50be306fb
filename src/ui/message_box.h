#pragma once
// The program's message box: modal over its windows, owned by the
// foreground window when that is one of ours.
#include <cstdint>
#include <string_view>

// Answers the id of the button pressed (IDOK = 1 for the plain OK box that
// flags 0 give).
std::int32_t message_box(std::u16string_view title, std::u16string_view text, std::uint32_t flags);
