#pragma once
// The record behind a native::File, shared by reading and by outputs.
#include <cstddef>
#include <string>

namespace native {

struct File {
  int fd = -1;
  bool output = false;
  bool in_place = false;        // an output written straight into its target
  bool replaces = false;        // a file was there before this output
  bool keeps_existing = false;  // fails rather than replace what appears under its name
  std::string target;           // the path an output replaces
  std::string temporary;        // its temporary name, while it has one
  int pending_slot = -1;        // where a signal handler finds that name
  int write_error = 0;          // the first failed write's error number
};

// Records the error number of a failed operation for last_file_error().
void note_error(int error);
// The same, answering null for the early returns of operations that make a
// File.
inline std::nullptr_t fail_with(int error) {
  note_error(error);
  return nullptr;
}

}  // namespace native
