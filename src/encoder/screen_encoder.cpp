// The encoder's steps in order: bin the pixels, choose the starting table
// and the line changes, dither, write the file, and then read the file back
// through the viewer's own decoder, so that what is scored and returned as
// shown is exactly what the file shows.
#include "encoder/screen_encoder.h"

#include "encoder/colour_space.h"
#include "encoder/line_change_search.h"
#include "encoder/screen_dither.h"
#include "encoder/starting_clut.h"
#include "screen/sam_colour.h"
#include "screen/screen_decoder.h"

#include <algorithm>

namespace {

using namespace encoder;

constexpr std::size_t PIXELS = std::size_t{SCREEN_WIDTH} * SCREEN_HEIGHT;
constexpr std::uint8_t END_MARK = 255;

std::vector<std::uint8_t> write_file(const std::vector<std::uint8_t>& entries, const Clut& start,
                                     const std::vector<LineChange>& changes) {
  std::vector<std::uint8_t> file(static_cast<std::size_t>(LINE_TABLE_OFFSET) + changes.size() * 4 + 1, 0);
  for (std::size_t i = 0; i < PIXELS / 2; ++i)
    file[i] = static_cast<std::uint8_t>(entries[2 * i] << 4 | entries[2 * i + 1]);
  std::copy(start.begin(), start.end(), file.begin() + CLUT_OFFSET);
  std::size_t at = LINE_TABLE_OFFSET;
  for (const LineChange& change : changes) {
    file[at++] = static_cast<std::uint8_t>(change.row - 1);
    file[at++] = static_cast<std::uint8_t>(change.entry);
    file[at++] = static_cast<std::uint8_t>(change.colour);
    file[at++] = 0;
  }
  file[at] = END_MARK;
  return file;
}

}  // namespace

EncodedScreen encode_screen(const RgbPicture& input, const EncoderOptions& options) {
  const RgbPicture picture =
      input.width == SCREEN_WIDTH && input.height == SCREEN_HEIGHT && input.rgb.size() >= PIXELS * 3
          ? input
          : fit_to_screen(input, false);

  std::vector<Lab> lab(PIXELS);
  RowBins rows(SCREEN_HEIGHT);
  ColourBins whole{};
  for (std::size_t i = 0; i < PIXELS; ++i) {
    lab[i] = lab_of_rgb(&picture.rgb[i * 3]);
    const auto nearest = static_cast<std::size_t>(nearest_palette_colour(lab[i]));
    rows[i / SCREEN_WIDTH][nearest].add(lab[i]);
  }
  for (const ColourBins& row : rows)
    for (int c = 0; c < PALETTE_COLOURS; ++c) whole[static_cast<std::size_t>(c)].add(row[static_cast<std::size_t>(c)]);

  const Clut start = starting_clut(whole);
  std::vector<LineChange> changes;
  if (options.line_changes) changes = choose_line_changes(rows, start, std::min(options.max_changes, 191));
  const std::vector<Clut> tables = row_tables(start, changes);
  const std::vector<std::uint8_t> entries = dither_screen(picture, lab, tables, options.dither);

  EncodedScreen out;
  out.file = write_file(entries, start, changes);
  out.changes = static_cast<int>(changes.size());

  DecodedScreen decoded;
  decode_screen(out.file, decoded);
  out.shown = {SCREEN_WIDTH, SCREEN_HEIGHT, std::vector<std::uint8_t>(PIXELS * 3)};
  std::array<bool, PALETTE_COLOURS> used{};
  double error = 0;
  for (std::size_t i = 0; i < PIXELS; ++i) {
    const int colour = decoded.row_clut[i / SCREEN_WIDTH][decoded.pixels[i]];
    used[static_cast<std::size_t>(colour)] = true;
    const Colour rgb = sam_colour(colour);
    out.shown.rgb[i * 3] = static_cast<std::uint8_t>(rgb & 0xFF);
    out.shown.rgb[i * 3 + 1] = static_cast<std::uint8_t>((rgb >> 8) & 0xFF);
    out.shown.rgb[i * 3 + 2] = static_cast<std::uint8_t>((rgb >> 16) & 0xFF);
    error += delta_e(lab[i], palette_lab()[static_cast<std::size_t>(colour)]);
  }
  out.colours_used = static_cast<int>(std::count(used.begin(), used.end(), true));
  out.mean_error = error / static_cast<double>(PIXELS);
  return out;
}
