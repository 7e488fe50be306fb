#pragma once
// Reading a screen's line-change table a piece at a time and keeping only
// what the picture can use: for each row, the first record in file order
// whose entry is below 16. Nothing after a line byte of 191 or more counts,
// and once every row has its change no later record can alter the picture,
// so the table need not be read further, however long the file is.
#include <array>
#include <cstddef>
#include <cstdint>

constexpr int CHANGEABLE_ROWS = 191;  // rows 1 to 191; row 0 starts with the look-up bytes
constexpr int LINE_RECORD_SIZE = 4;
// The most a screen's kept records take: one per changeable row.
constexpr int MAX_KEPT_RECORD_BYTES = CHANGEABLE_ROWS * LINE_RECORD_SIZE;

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
// The file ended: a last record cut short after its colour byte still
// counts (its fourth byte is not used).
void finish_line_changes(LineChangeScan& scan);
