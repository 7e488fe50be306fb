#pragma once
// Help and version text on standard output.
#include <string_view>

// Writes `text` to standard output and flushes it. Answers the exit status:
// 0, or 1 after a line on standard error when the text did not arrive (a
// full disk, a closed pipe), which is a failure like any other.
int print_text(const char* program, std::string_view text);
