#pragma once
// Numbered files for reading, each with a read buffer, and the size query
// the screen loader uses to accept or reject a file.
#include "runtime/object_table.h"

#include <cstdint>
#include <string_view>

constexpr std::uint32_t FILE_BUFFER_SIZE = 4096;
// Longest name the size query looks at.
constexpr std::size_t MAX_QUERY_NAME = 4096;

void init_files();
// Closes every file still open.
void shutdown_files();

// The size in bytes; -1 for an empty name or nothing there; -2 for a folder.
std::int64_t query_file_size(std::u16string_view name);

// Opens an existing file for reading as number (or OBJECT_ANY). Answers the
// native handle for a number, the new identity for OBJECT_ANY, 0 on failure.
ObjectId open_file_for_reading(ObjectId number, std::u16string_view name);
// Reads up to count bytes at the current position; answers the count read.
std::int64_t read_file_data(ObjectId number, void* destination, std::int64_t count);
// Closes the file and releases its buffer and number; 0 if none was open.
std::intptr_t close_file(ObjectId number);
