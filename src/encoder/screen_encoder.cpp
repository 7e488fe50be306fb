// The encoder's steps in order: bin the pixels, choose the starting table,
// dither the screen without line changes and with the changes a search
// finds, write whichever is seen with less error, and then read the file
// back through the viewer's own decoder, so that what is scored and
// returned as shown is exactly what the file shows.
#include "encoder/screen_encoder.h"

#include "encoder/colour_space.h"
#include "encoder/line_change_proposals.h"
#include "encoder/screen_dither.h"
#include "encoder/seen_error.h"
#include "encoder/seen_line_changes.h"
#include "encoder/starting_clut.h"
#include "sam/sam_colour.h"
#include "sam/screen_decoder.h"

#include <algorithm>

namespace {

using namespace encoder;

constexpr std::size_t PIXELS = std::size_t{SCREEN_WIDTH} * SCREEN_HEIGHT;
constexpr std::uint8_t END_MARK = 255;
// How much the colour beyond a pixel counts against the pixel's own.
constexpr double FAR_WEIGHT = 0.5;

// Whether a pixel differs from the one left of it or above it. Flat areas
// are left to their nearest colour: dithering them only adds noise.
bool varies(const RgbPicture& picture, std::size_t i) {
  const std::uint8_t* p = &picture.rgb[i * 3];
  const bool left = i % SCREEN_WIDTH > 0 && !std::equal(p, p + 3, p - 3);
  const bool up = i >= SCREEN_WIDTH && !std::equal(p, p + 3, p - 3 * SCREEN_WIDTH);
  return left || up;
}

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
  const bool dithered = options.dither != Dither::none;
  RowBins nearest_rows(SCREEN_HEIGHT), bracket_rows(dithered ? SCREEN_HEIGHT : 0);
  ColourBins whole{};
  std::size_t nearest = 0;
  for (std::size_t i = 0; i < PIXELS; ++i) {
    // A run of one colour (a flat area, a border) is converted once.
    const bool repeat = i > 0 && std::equal(&picture.rgb[i * 3], &picture.rgb[i * 3 + 3], &picture.rgb[i * 3 - 3]);
    if (repeat) {
      lab[i] = lab[i - 1];
    } else {
      lab[i] = lab_of_rgb(&picture.rgb[i * 3]);
      nearest = static_cast<std::size_t>(nearest_palette_colour(lab[i]));
    }
    nearest_rows[i / SCREEN_WIDTH][nearest].add(lab[i]);
    whole[nearest].add(lab[i]);
    if (!dithered) continue;
    bracket_rows[i / SCREEN_WIDTH][nearest].add(lab[i]);
    if (varies(picture, i)) {
      // Dithering shows a colour as its nearest mixed with one beyond it:
      // ask for that one too, so that the table brackets the picture.
      const Lab near = palette_lab()[nearest];
      const Lab far{2 * lab[i].l - near.l, 2 * lab[i].a - near.a, 2 * lab[i].b - near.b};
      bracket_rows[i / SCREEN_WIDTH][static_cast<std::size_t>(nearest_palette_colour(far))].add(far, FAR_WEIGHT);
    }
  }

  // Line changes are written only when they show less error than none.
  const Clut start = starting_clut(whole);
  const RowDither dither(picture, lab, options.dither);
  SeenRows seen(linear_picture(picture));
  SeenSearch search{dither, seen, {&nearest_rows}};
  if (dithered) search.proposers.push_back(&bracket_rows);
  ScreenPlan best = plan_screen(search, start, {});
  const int max_changes = options.line_changes ? std::min(options.max_changes, SCREEN_HEIGHT - 1) : 0;
  if (max_changes > 0) {
    ScreenPlan plan = search_line_changes(search, start, max_changes);
    if (plan.seen < best.seen) best = std::move(plan);
  }

  EncodedScreen out;
  out.file = write_file(best.entries, start, best.changes);
  out.changes = static_cast<int>(best.changes.size());

  DecodedScreen decoded;
  decode_screen(out.file, decoded);
  out.shown = {SCREEN_WIDTH, SCREEN_HEIGHT, std::vector<std::uint8_t>(PIXELS * 3)};
  std::array<bool, PALETTE_COLOURS> used{};
  double error = 0;
  std::array<Linear, SCREEN_WIDTH> row{};
  for (std::size_t i = 0; i < PIXELS; ++i) {
    const int colour = decoded.row_clut[i / SCREEN_WIDTH][decoded.pixels[i]];
    used[static_cast<std::size_t>(colour)] = true;
    const Colour rgb = sam_colour(colour);
    out.shown.rgb[i * 3] = static_cast<std::uint8_t>(rgb & 0xFF);
    out.shown.rgb[i * 3 + 1] = static_cast<std::uint8_t>((rgb >> 8) & 0xFF);
    out.shown.rgb[i * 3 + 2] = static_cast<std::uint8_t>((rgb >> 16) & 0xFF);
    error += delta_e(lab[i], palette_lab()[static_cast<std::size_t>(colour)]);
    row[i % SCREEN_WIDTH] = palette_linear()[static_cast<std::size_t>(colour)];
    if (i % SCREEN_WIDTH == SCREEN_WIDTH - 1) seen.show_row(static_cast<int>(i / SCREEN_WIDTH), row.data());
  }
  out.colours_used = static_cast<int>(std::count(used.begin(), used.end(), true));
  out.mean_error = error / static_cast<double>(PIXELS);
  out.seen_error = seen.error(0, SCREEN_HEIGHT, SCREEN_HEIGHT) / static_cast<double>(PIXELS);
  return out;
}
