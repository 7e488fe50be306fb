#include "plain_screen_reading.h"

namespace {

struct Record {
  bool counts = false;
  int entry = 0;
  std::array<int, 2> colour{};  // main, alternate phase
};

int display_size(int mode) {
  const int sizes[] = {6912, 14336, 24576, 24576};
  return sizes[mode - 1];
}

bool bit(std::uint8_t byte, int from_left) { return (byte >> (7 - from_left)) & 1; }

int entry_of_pixel(std::span<const std::uint8_t> body, int mode, int x, int y, int attribute_phase) {
  if (mode == 4) {
    const std::uint8_t byte = body[y * 128 + x / 2];
    return x % 2 == 0 ? byte >> 4 : byte & 15;
  }
  if (mode == 3) {
    const int value = (body[y * 128 + x / 4] >> (6 - 2 * (x % 4))) & 3;
    const int shown[] = {0, 2, 1, 3};  // the hardware swaps entries 1 and 2
    return shown[value];
  }
  int bitmap_row, attribute;
  if (mode == 1) {
    bitmap_row = ((y & 0xC0) << 5) | ((y & 7) << 8) | ((y & 0x38) << 2);
    attribute = body[6144 + (y / 8) * 32 + x / 8];
  } else {
    bitmap_row = y * 32;
    attribute = body[8192 + y * 32 + x / 8];
  }
  const int bright = (attribute & 0x40) ? 8 : 0;
  int ink = (attribute & 7) + bright;
  int paper = ((attribute >> 3) & 7) + bright;
  if ((attribute & 0x80) && attribute_phase == 1) {
    const int swapped = ink;
    ink = paper;
    paper = swapped;
  }
  return bit(body[bitmap_row + x / 8], x % 8) ? ink : paper;
}

// The record that counts for each line: the first in file order whose
// entry is below 16; a line of 191 or more ends the table, and a last record
// cut after its colour byte shows that colour in both phases.
std::array<Record, 191> counting_records(std::span<const std::uint8_t> records) {
  std::array<Record, 191> by_line{};
  for (std::size_t at = 0; at < records.size(); at += 4) {
    const int line = records[at];
    if (line >= 191 || at + 3 > records.size()) break;
    const int entry = records[at + 1];
    if (entry >= 16 || by_line[line].counts) continue;
    const int main = records[at + 2] & 0x7F;
    const int alternate = at + 3 < records.size() ? records[at + 3] & 0x7F : main;
    by_line[line] = {true, entry, {main, alternate}};
  }
  return by_line;
}

}  // namespace

PlainScreen plain_screen_reading(std::span<const std::uint8_t> file, int mode, bool header) {
  const std::span<const std::uint8_t> body = file.subspan(header ? 9 : 0);
  const std::span<const std::uint8_t> paltab = body.subspan(display_size(mode), 40);
  const std::array<Record, 191> records = counting_records(body.subspan(display_size(mode) + 40));
  PlainScreen plain;
  plain.width = mode == 3 ? 512 : 256;
  for (int palette = 0; palette < 2; ++palette)
    for (int attribute = 0; attribute < 2; ++attribute) {
      std::vector<std::uint8_t>& out = plain.colours[palette][attribute];
      for (int y = 0; y < 192; ++y) {
        // Every row starts from the palette table; a change for line L
        // shows from row L + 1 down, until a later one for the same entry.
        std::array<int, 16> colour_of;
        for (int entry = 0; entry < 16; ++entry) colour_of[entry] = paltab[entry + 20 * palette] & 0x7F;
        for (int line = 0; line < y; ++line)
          if (records[line].counts) colour_of[records[line].entry] = records[line].colour[palette];
        for (int x = 0; x < plain.width; ++x)
          out.push_back(static_cast<std::uint8_t>(colour_of[entry_of_pixel(body, mode, x, y, attribute)]));
      }
    }
  return plain;
}
