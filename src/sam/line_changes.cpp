#include "sam/line_changes.h"

#include "sam/screen_decoder.h"

#include <algorithm>

namespace {

constexpr int ENTRIES = 16;

// One whole record (only its first three bytes are read).
void take_record(LineChangeScan& scan, const std::uint8_t* record) {
  if (record[0] >= LINE_TABLE_END) {
    scan.finished = true;
    return;
  }
  if (record[1] >= ENTRIES || scan.settled[record[0]]) return;
  scan.settled[record[0]] = 1;
  std::copy(record, record + LINE_RECORD_SIZE, scan.kept.begin() + scan.kept_bytes);
  scan.kept_bytes += LINE_RECORD_SIZE;
  if (scan.kept_bytes == MAX_KEPT_RECORD_BYTES) scan.finished = true;
}

// One byte of a record split between pieces; the record is taken once whole.
void take_split_byte(LineChangeScan& scan, std::uint8_t byte) {
  scan.partial[scan.partial_size++] = byte;
  if (scan.partial[0] >= LINE_TABLE_END) {
    scan.finished = true;
  } else if (scan.partial_size == LINE_RECORD_SIZE) {
    scan.partial_size = 0;
    take_record(scan, scan.partial.data());
  }
}

}  // namespace

std::size_t take_line_changes(LineChangeScan& scan, const std::uint8_t* bytes, std::size_t count) {
  const std::uint8_t* start = bytes;
  const std::uint8_t* end = bytes + count;
  while (!scan.finished && scan.partial_size > 0 && bytes < end) take_split_byte(scan, *bytes++);
  while (!scan.finished && end - bytes >= LINE_RECORD_SIZE) {
    // Records for rows that have their change already are the bulk of a
    // long table; they cost one look-up each.
    const std::uint8_t* last = end - LINE_RECORD_SIZE;
    while (bytes <= last && scan.settled[*bytes]) bytes += LINE_RECORD_SIZE;
    if (bytes > last) break;
    take_record(scan, bytes);
    // Of an end mark only its line byte is needed.
    bytes += scan.finished && *bytes >= LINE_TABLE_END ? 1 : LINE_RECORD_SIZE;
  }
  while (!scan.finished && bytes < end) take_split_byte(scan, *bytes++);
  return static_cast<std::size_t>(bytes - start);
}

bool scan_line_changes(LineChangeScan& scan, const std::uint8_t* bytes, std::size_t count) {
  take_line_changes(scan, bytes, count);
  return !scan.finished;
}

void finish_line_changes(LineChangeScan& scan) {
  if (!scan.finished && scan.partial_size == LINE_RECORD_SIZE - 1) {
    // Without its alternate colour a record shows one colour in both phases.
    scan.partial[3] = scan.partial[2];
    take_record(scan, scan.partial.data());
  }
  scan.partial_size = 0;
  scan.finished = true;
}

std::int32_t complete_bounded_copy(const LineChangeScan& scan, std::uint8_t* held, std::int32_t records_at) {
  std::copy_n(scan.kept.begin(), scan.kept_bytes, held + records_at);
  held[records_at + scan.kept_bytes] = LINE_TABLE_END;
  return records_at + scan.kept_bytes + 1;
}
