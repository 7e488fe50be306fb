#include "frame_render.h"

#include "box_downscale.h"

#include "sam/sam_colour.h"

#include <array>
#include <cstddef>
#include <cstring>

void render_colours(const SamScreen& screen, int palette_phase, int attribute_phase, const PictureSize& size,
                    std::uint8_t* out) {
  const int across = size.render_width / screen.width;
  const int down = size.render_height / SAM_ROWS;
  const auto& entries = attribute_phase ? screen.flashed_entries : screen.entries;
  for (int y = 0; y < SAM_ROWS; ++y) {
    const auto& colours = screen.row_colours[palette_phase][y];
    const std::uint8_t* row = entries.data() + y * screen.width;
    std::uint8_t* line = out + static_cast<std::ptrdiff_t>(y) * down * size.render_width;
    if (across == 1) {
      for (int x = 0; x < screen.width; ++x) line[x] = colours[row[x]];
    } else {
      for (int x = 0; x < screen.width; ++x) line[2 * x] = line[2 * x + 1] = colours[row[x]];
    }
    for (int r = 1; r < down; ++r)
      std::memcpy(line + static_cast<std::ptrdiff_t>(r) * size.render_width, line,
                  static_cast<std::size_t>(size.render_width));
  }
}

namespace {

// Colours are 0x00BBGGRR.
void put_bgr(Colour colour, std::uint8_t* out) {
  out[0] = static_cast<std::uint8_t>(colour >> 16);
  out[1] = static_cast<std::uint8_t>(colour >> 8);
  out[2] = static_cast<std::uint8_t>(colour);
}

}  // namespace

std::unique_ptr<std::uint8_t[]> picture_bgr(const SamScreen& screen, const PictureSize& size) {
  const std::size_t rendered =
      static_cast<std::size_t>(size.render_width) * static_cast<std::size_t>(size.render_height);
  const auto colours = std::make_unique_for_overwrite<std::uint8_t[]>(rendered);
  render_colours(screen, 0, 0, size, colours.get());
  if (!is_shrunk(size)) {
    std::array<std::array<std::uint8_t, 3>, 128> bgr_of;
    for (int i = 0; i < 128; ++i) put_bgr(sam_colour(i), bgr_of[i].data());
    auto bgr = std::make_unique_for_overwrite<std::uint8_t[]>(rendered * 3);
    for (std::size_t i = 0; i < rendered; ++i) std::memcpy(&bgr[3 * i], bgr_of[colours[i]].data(), 3);
    return bgr;
  }
  std::vector<Colour> render(rendered);
  for (std::size_t i = 0; i < rendered; ++i) render[i] = sam_colour(colours[i]);
  const std::vector<Colour> shrunk =
      box_downscale(render, size.render_width, size.render_height, size.width, size.height);
  auto bgr = std::make_unique_for_overwrite<std::uint8_t[]>(shrunk.size() * 3);
  for (std::size_t i = 0; i < shrunk.size(); ++i) put_bgr(shrunk[i], &bgr[3 * i]);
  return bgr;
}
