#pragma once
// Reading a screen's line-change table a piece at a time and keeping only
// what the picture can use: for each row, the first record in file order
// whose entry is below 16. Nothing after a line byte of 191 or more counts,
// and once every row has its change no later record can alter the picture,
// so the table need not be read further, however long the file is.
#include "sam/screen_decoder.h"
#include "sam/screen_modes.h"

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int CHANGEABLE_ROWS = 191;  // rows 1 to 191; row 0 starts with the look-up bytes
constexpr int LINE_RECORD_SIZE = 4;
// The most a screen's kept records take: one per changeable row.
constexpr int MAX_KEPT_RECORD_BYTES = CHANGEABLE_ROWS * LINE_RECORD_SIZE;
// A bounded copy of a file: the fixed part, every record the picture can
// use, and the end mark. It decodes to the same screen as the whole file.
constexpr std::int32_t BOUNDED_SCREEN_BYTES = LINE_TABLE_OFFSET + MAX_KEPT_RECORD_BYTES + 1;

struct LineChangeScan {
  std::array<std::uint8_t, MAX_KEPT_RECORD_BYTES> kept{};  // in file order
  int kept_bytes = 0;
  // settled[line] is 1 when the row below that line has its change, so that
  // records for it can be passed over with one look-up.
  std::array<std::uint8_t, 256> settled{};
  std::array<std::uint8_t, LINE_RECORD_SIZE> partial{};  // a record split between pieces
  int partial_size = 0;
  bool finished = false;  // nothing later can change the picture
};

// Takes the next piece of the table. Answers false once nothing later can
// change the picture.
bool scan_line_changes(LineChangeScan& scan, const std::uint8_t* bytes, std::size_t count);
// The same, answering how many of the bytes were needed: all of them, or,
// when the scan finishes inside the piece, those up to the end mark's line
// byte or to the end of the record that gave the last row its change.
std::size_t take_line_changes(LineChangeScan& scan, const std::uint8_t* bytes, std::size_t count);
// The file ended: a last record cut short after its colour byte still
// counts, with that colour in both phases.
void finish_line_changes(LineChangeScan& scan);

// Completes a bounded copy whose fixed part (the `records_at` bytes before
// the records) is already at `held`: the records a finished scan kept, then
// an end mark. Answers the copy's length, at most
// records_at + MAX_KEPT_RECORD_BYTES + 1.
std::int32_t complete_bounded_copy(const LineChangeScan& scan, std::uint8_t* held,
                                   std::int32_t records_at = LINE_TABLE_OFFSET);
