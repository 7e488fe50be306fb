#pragma once
// The open and save file requesters, the message box, the current directory
// that starts the open requester, and the start-up step of these services.
//
// A pattern lists the requester's file types as description and filter
// pairs, all separated by "|": "Pictures (*.ss4)|*.ss4|All files (*.*)|*.*".
// The pattern index picks a pair, counting from 0. A default file splits at
// its last "/" into the starting folder and the file-box text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Room for a path, terminator included: the longest path Linux takes
// (PATH_MAX, 4,096 bytes with the terminator) fits, since a name's bytes
// never become more UTF-16 characters than there were bytes.
constexpr std::size_t REQUESTER_PATH_ROOM = 4096;

// Full path chosen, or empty text when the user cancelled or the requester
// could not be shown. Absent texts are passed as empty views.
std::u16string open_file_requester(std::u16string_view title, std::u16string_view default_file,
                                   std::u16string_view pattern, int pattern_index);
std::u16string save_file_requester(std::u16string_view title, std::u16string_view default_file,
                                   std::u16string_view pattern, int pattern_index);
std::u16string file_requester(std::u16string_view title, std::u16string_view default_file, std::u16string_view pattern,
                              int pattern_index, bool save);

// Non-empty, with no control character and none of " * / : < > ? \ |
// (a name holding them could not be handed to other systems intact).
bool is_valid_file_part(std::u16string_view text);

// The process's current directory, ending in "/", however long; empty text
// when it cannot be told.
std::u16string current_directory();

// Common controls and COM for the calling thread; nothing to undo.
void init_requesters();

// The program's message box: modal over its windows, owned by the
// foreground window when that is one of ours.
// Answers the id of the button pressed (IDOK = 1 for the plain OK box that
// flags 0 give).
std::int32_t message_box(std::u16string_view title, std::u16string_view text, std::uint32_t flags);
