// The image loader's way in: a file handed over in pieces. The input's
// first byte says how many of the next bytes choose the piece sizes (cycled);
// the rest is the file, fed in those pieces to the incremental decoder. It
// must count every byte, take all of a piece until complete and none after,
// and decode to exactly the screen the whole file decodes to.
#include "screen/incremental_screen.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::size_t choices = std::min<std::size_t>(data[0] % 8 + 1, size - 1);
  std::span<const std::uint8_t> sizes(data + 1, choices);
  std::span<const std::uint8_t> file(data + 1 + choices, size - 1 - choices);

  static DecodedScreen whole;
  static DecodedScreen pieces;
  auto incoming = std::make_unique<IncrementalScreen>();
  std::size_t at = 0;
  for (std::size_t i = 0; at < file.size(); ++i) {
    // One byte up to 64 KiB, small pieces as likely as large ones.
    std::size_t choice = sizes.empty() ? 255 : sizes[i % sizes.size()];
    std::size_t piece = std::min(file.size() - at, (choice + 1) * (choice + 1));
    bool was_complete = incoming->complete();
    std::size_t used = incoming->feed(file.data() + at, piece);
    if (used > piece || (was_complete && used != 0) || (!incoming->complete() && used != piece)) std::abort();
    at += piece;
  }
  if (incoming->size() != static_cast<std::int64_t>(file.size())) std::abort();

  ScreenSize expected = decode_screen(file, whole);
  if (incoming->finish(pieces) != expected) std::abort();
  if (expected == ScreenSize::usable && (pieces.pixels != whole.pixels || pieces.row_clut != whole.row_clut))
    std::abort();
  return 0;
}
