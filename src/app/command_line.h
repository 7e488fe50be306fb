#pragma once
// The program's command line: one text, split into tokens on spaces, with
// double quotes grouping a token. The first token is the program's own path
// (index -1); the arguments follow from index 0.
#include <string>
#include <string_view>

// The process-services start-up step: the state that holds the argument
// cursor.
void init_process_services();

// Linux hands over separate arguments; they are joined into one text,
// quoting each that holds a space, so that splitting gives them back.
std::u16string command_line_from_arguments(int argc, const char* const* argv);
void set_command_line(std::u16string_view text);
const std::u16string& command_line();

// The number of arguments after the program's path; -1 for an empty text.
int command_line_count();
// Argument `index` (empty when there is none), moving the cursor past it; a
// negative index takes the argument at the cursor.
std::u16string command_line_argument(int index);
