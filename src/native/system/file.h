#pragma once
// Files on POSIX, shaped like the handle-based file calls the runtime expects.
// Names are UTF-16 and turned back into the system's bytes at this boundary
// (native/text.h); '*' and '?' are ordinary characters and no name is a
// drive.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace native {

struct File;

// Opens an existing file for reading; null on failure (a folder does not
// open).
File* file_open_for_reading(std::u16string_view name);
// Reads up to count bytes; answers false on an error. `done` gets the count read.
bool file_read(File* file, void* buffer, std::uint32_t count, std::uint32_t& done);
// Writes count bytes; a short write (disk full) answers true with done < count.
bool file_write(File* file, const void* buffer, std::uint32_t count, std::uint32_t& done);
// The read position, and moving it (false on failure).
std::int64_t file_position(File* file);
bool file_seek(File* file, std::int64_t offset);
// How many bytes from `offset` on are a hole in a sparse file, known to read
// as zeros without being read; 0 when there is data there or the system
// cannot tell. The read position stays where it was.
std::int64_t file_hole_length(File* file, std::int64_t offset);
// Closes a file. An output that was not committed is dropped: nothing it
// wrote reaches its target (see file_create_output).
bool file_close(File* file);

// Outputs never destroy what was there. A regular file, or a name with
// nothing under it yet, is written to a new file in the same folder that has
// no name (or a hidden temporary one) until it is committed and then
// replaces the target in one rename, keeping the old file's mode. A symbolic
// link's target is replaced and the link kept. Anything else that exists (a
// device, a FIFO, a terminal, /dev/stdout and the other descriptors of this
// process under /dev/fd and /proc/self/fd) is written in place and never
// removed or truncated. Null on failure, with last_file_error() telling why.
File* file_create_output(std::u16string_view name);
// The same for a name as the system's bytes, for programs that take names
// from their command line and never turn them into text.
File* file_create_output_named(const std::string& path);
// Whether outputs created from now on (on this thread) may replace a file
// that exists under their name, as above (the default), or must leave it:
// then creating or committing the output fails with EEXIST, also when the
// file appears while the output is being written. For names a program made
// up itself, which must never take the place of a user's file.
void set_outputs_replace_existing(bool replace);

// Puts a complete output in place and closes it. False when any write or
// the replacement failed: then the target is exactly as it was (an output
// written in place keeps what reached it) and no temporary file is left.
bool file_commit(File* file);

// A buffered C stream over an open output; closing the stream leaves the
// file open for file_commit or file_close. Null on failure.
std::FILE* file_output_stream(File* file);

struct FileStatus {
  bool exists;
  bool is_directory;
  std::uint64_t size;
};
// What is under the name, symbolic links followed; nothing when it cannot be
// looked at (last_file_error() tells why).
FileStatus file_status(std::u16string_view name);

// An error of this layer's own, beyond the system's numbers: an existing
// file that may be written cannot be replaced, because its folder refuses
// the new file a safe replacement is written to.
constexpr int FOLDER_REFUSES_NEW_FILES = 0x10001;
// An error number in words: the system's for its own numbers, and ours.
std::string file_error_text(int error);

// The system's error number for the last file operation of this thread that
// failed, 0 when none did since it was cleared. Outputs clear it when they
// start.
int last_file_error();
void set_last_file_error(int error);

// For a signal handler that ends the process: removes the temporary file of
// every output still being written, so that an interrupted run leaves
// nothing behind. Only async-signal-safe calls.
void remove_pending_outputs();

}  // namespace native
