#include "sam/row_colours.h"

#include "sam/line_changes.h"

void fill_row_colours(std::span<const std::uint8_t> body, std::int32_t records_at, RowColours& main,
                      RowColours* alternate) {
  LineChangeScan scan;
  std::span<const std::uint8_t> table = body.subspan(static_cast<std::size_t>(records_at));
  scan_line_changes(scan, table.data(), table.size());
  finish_line_changes(scan);
  std::array<const std::uint8_t*, SAM_ROWS> change{};
  for (int k = 0; k < scan.kept_bytes; k += LINE_RECORD_SIZE) change[scan.kept[k] + 1] = &scan.kept[k];

  const std::uint8_t* paltab = body.data() + records_at - PALTAB_BYTES;
  std::array<std::uint8_t, 16> colours, others;
  for (int i = 0; i < 16; ++i) {
    colours[i] = paltab[i] & 0x7F;
    others[i] = paltab[ALTERNATE_COLOURS + i] & 0x7F;
  }
  for (int y = 0; y < SAM_ROWS; ++y) {
    if (const std::uint8_t* record = change[y]) {
      colours[record[1]] = record[2] & 0x7F;
      others[record[1]] = record[3] & 0x7F;
    }
    main[y] = colours;
    if (alternate) (*alternate)[y] = others;
  }
}
