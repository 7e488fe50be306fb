#include "screen/screen_file.h"

#include "sam/line_changes.h"
#include "screen/viewer_state.h"

#include "runtime/files.h"
#include "runtime/memory_blocks.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

namespace {

constexpr ObjectId SCREEN_FILE = 0;
// The table is read this much at a time.
constexpr std::int64_t TABLE_PIECE = 64 * 1024;

struct MemoryBlock {
  void operator()(void* block) const { free_memory(block); }
};

// The file ended before the size it had when it was measured: it shrank, or
// the system failed to read on.
ScreenRead cut_short() {
  int error = file_error();
  return error ? ScreenRead{ScreenReadStatus::unreadable, error} : ScreenRead{ScreenReadStatus::bad_size, 0};
}

// Reads the line-change table that follows the fixed part, `length` bytes
// long, keeping what the picture uses.
ScreenRead read_line_changes(std::int64_t length, LineChangeScan& scan) {
  std::unique_ptr<std::uint8_t, MemoryBlock> piece(
      static_cast<std::uint8_t*>(allocate_memory(std::min(length, TABLE_PIECE), false)));
  if (!piece) return {ScreenReadStatus::out_of_memory, 0};
  for (std::int64_t left = length; left > 0;) {
    // Once a record of zeros changes nothing, a hole in a sparse file (all
    // zeros) is passed over whole records at a time rather than read.
    if (scan.settled[0]) {
      std::int64_t zeros = std::min(zeros_ahead(SCREEN_FILE), left) / LINE_RECORD_SIZE * LINE_RECORD_SIZE;
      if (zeros >= TABLE_PIECE) {
        if (!skip_file_data(SCREEN_FILE, zeros)) return cut_short();
        left -= zeros;
        continue;
      }
    }
    std::int64_t count = std::min(left, TABLE_PIECE);
    std::int64_t read = read_file_data(SCREEN_FILE, piece.get(), count);
    if (read != count) return cut_short();
    left -= count;
    if (!scan_line_changes(scan, piece.get(), static_cast<std::size_t>(count))) return {ScreenReadStatus::loaded, 0};
  }
  finish_line_changes(scan);
  return {ScreenReadStatus::loaded, 0};
}

ScreenRead read_open_file(std::uint8_t* held, std::int64_t size, LineChangeScan& scan) {
  if (read_file_data(SCREEN_FILE, held, LINE_TABLE_OFFSET) != LINE_TABLE_OFFSET) return cut_short();
  return read_line_changes(size - LINE_TABLE_OFFSET, scan);
}

}  // namespace

void init_screen_state() {
  ViewerState& v = viewer_state();
  v = ViewerState{};
  v.file_data = static_cast<std::uint8_t*>(allocate_memory(1));
}

void release_screen_state() {
  ViewerState& v = viewer_state();
  free_memory(v.file_data);
  v = ViewerState{};
}

ScreenRead read_screen(std::u16string_view name) {
  std::int64_t size = query_file_size(name);
  if (size == -2) return {ScreenReadStatus::folder, 0};
  if (screen_size_rule(size) != ScreenSize::usable) return {ScreenReadStatus::bad_size, 0};
  // Read beside the screen now held, which stays whole until this one is.
  std::unique_ptr<std::uint8_t, MemoryBlock> held(
      static_cast<std::uint8_t*>(allocate_memory(BOUNDED_SCREEN_BYTES, false)));
  if (!held) return {ScreenReadStatus::out_of_memory, 0};
  set_file_error(0);
  if (!open_file_for_reading(SCREEN_FILE, name)) return {ScreenReadStatus::unreadable, file_error()};
  LineChangeScan scan;
  ScreenRead result = read_open_file(held.get(), size, scan);
  close_file(SCREEN_FILE);
  if (result.status != ScreenReadStatus::loaded) return result;

  std::int32_t held_size = complete_bounded_copy(scan, held.get());
  ViewerState& v = viewer_state();
  free_memory(v.file_data);
  v.file_data = held.release();
  v.data_size = held_size;
  v.file_size = static_cast<std::int32_t>(size);
  v.file_name = name;
  return result;
}
