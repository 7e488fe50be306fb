// Screens of every mode, read a piece at a time as the image loader and
// ss4topng read them. The input's first byte picks the mode a name gives,
// the mode a user forces and how many of the next bytes choose the piece
// sizes (cycled, for up to MOST_PIECES pieces); the rest is the file. The
// reader must count every byte, take all of a piece until complete and none
// after, and come to exactly the verdict and the screen that reading the
// whole file at once gives.
#include "sam/screen_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

constexpr std::size_t MOST_PIECES = 64;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int named_mode = data[0] / 8 % 5;
  const int forced_mode = data[0] / 40 % 5;
  std::size_t choices = std::min<std::size_t>(data[0] % 8 + 1, size - 1);
  std::span<const std::uint8_t> sizes(data + 1, choices);
  std::span<const std::uint8_t> file(data + 1 + choices, size - 1 - choices);

  static auto whole = std::make_unique<SamScreen>();
  static auto pieces = std::make_unique<SamScreen>();
  // Made in place each time: a fresh 27 KB allocation an input would cost
  // more than reading a screen.
  static std::optional<ScreenReader> reader;
  reader.emplace(named_mode, forced_mode);
  std::size_t at = 0;
  for (std::size_t i = 0; at < file.size(); ++i) {
    // One byte up to 64 KiB, small pieces as likely as large ones; the last
    // of MOST_PIECES takes the rest, since a screen fed a byte at a time
    // explores nothing new at a thousand times the cost.
    std::size_t choice = sizes.empty() ? 255 : sizes[i % sizes.size()];
    std::size_t piece = file.size() - at;
    if (i + 1 < MOST_PIECES) piece = std::min(piece, (choice + 1) * (choice + 1));
    bool was_complete = reader->complete();
    std::size_t used = reader->feed(file.data() + at, piece);
    if (used > piece || (was_complete && used != 0) || (!reader->complete() && used != piece)) std::abort();
    at += piece;
  }
  if (reader->size() != static_cast<std::int64_t>(file.size())) std::abort();

  KindVerdict expected = screen_kind(file.first(std::min<std::size_t>(file.size(), 64)),
                                     static_cast<std::int64_t>(file.size()), named_mode, forced_mode);
  KindVerdict got = reader->finish(*pieces);
  if (got.why != expected.why || got.kind.has_value() != expected.kind.has_value()) std::abort();
  if (!expected.kind) return 0;
  const ScreenKind& kind = *expected.kind;
  if (got.kind->mode != kind.mode || got.kind->body_offset != kind.body_offset) std::abort();
  decode_sam_screen(kind.mode, file.subspan(static_cast<std::size_t>(kind.body_offset)), *whole);
  const std::size_t pixels = static_cast<std::size_t>(whole->width) * SAM_ROWS;
  if (!std::equal(whole->entries.begin(), whole->entries.begin() + pixels, pieces->entries.begin()) ||
      !std::equal(whole->flashed_entries.begin(), whole->flashed_entries.begin() + pixels,
                  pieces->flashed_entries.begin()) ||
      // One comparison of both phases' rows, not one call a row.
      std::memcmp(&whole->row_colours, &pieces->row_colours, sizeof whole->row_colours) != 0 ||
      whole->palette_flashes != pieces->palette_flashes || whole->attributes_flash != pieces->attributes_flash)
    std::abort();
  return 0;
}
