#pragma once
// The program's command line: one text, split into tokens on spaces, with
// double quotes grouping a token, or the process's arguments as given. The
// first token is the program's own path
// (index -1); the arguments follow from index 0.
#include <string>
#include <string_view>
#include <vector>

// The process-services start-up step: the state that holds the argument
// cursor.
void init_process_services();

// Linux hands over the arguments already split, each whole: spaces, double
// quotes and any other byte belong to the argument, so they are taken as
// given rather than joined and split again (the splitting rules have no
// escape for a quote).
std::vector<std::u16string> arguments_from_process(int argc, const char* const* argv);

void set_command_line(std::u16string_view text);
// The program's path first, then the arguments; the text joins them for show.
void set_command_line(const std::vector<std::u16string>& arguments);
const std::u16string& command_line();

// The number of arguments after the program's path; -1 for an empty text.
int command_line_count();
// Argument `index` (empty when there is none), moving the cursor past it; a
// negative index takes the argument at the cursor.
std::u16string command_line_argument(int index);
