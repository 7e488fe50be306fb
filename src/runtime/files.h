#pragma once
// Numbered files for reading, each with a read buffer, and the size query
// the screen loader uses to accept or reject a file.
#include "runtime/object_table.h"

#include <cstdint>
#include <string_view>

constexpr std::uint32_t FILE_BUFFER_SIZE = 4096;

void init_files();
// Closes every file still open.
void shutdown_files();

// The size in bytes; -1 for an empty name or nothing there; -2 for a folder.
// The name is taken as it is: no wildcards, no drives, no trimming.
std::int64_t query_file_size(std::u16string_view name);

// Opens an existing file for reading as number (or OBJECT_ANY). Answers the
// native handle for a number, the new identity for OBJECT_ANY, 0 on failure.
ObjectId open_file_for_reading(ObjectId number, std::u16string_view name);
// Reads up to count bytes at the current position; answers the count read.
std::int64_t read_file_data(ObjectId number, void* destination, std::int64_t count);
// How many of the next bytes are a hole in a sparse file: zeros that need
// not be read. 0 when there is data next, or the system cannot tell.
std::int64_t zeros_ahead(ObjectId number);
// Moves past count bytes without reading them; false on failure.
bool skip_file_data(ObjectId number, std::int64_t count);
// Closes the file and releases its buffer and number; 0 if none was open.
std::intptr_t close_file(ObjectId number);

// The system's error number for the last file operation that failed (0
// when none did since it was cleared), for messages that say why.
int file_error();
void set_file_error(int error);
