// The compact PNG writer: exactly the source's colours, through a palette of
// just the colours used (4 bits for up to 16, 8 for up to 256), RGB beyond.
#include "export/compact_png.h"
#include "export/encoder_registry.h"
#include "native/system/faults.h"
#include "native/system/heap.h"
#include "png_reader.h"
#include "runtime/general_heap.h"
#include "runtime_fixture.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// `colours` distinct colours spread over the picture, each used at least
// once when the picture has room, in a scattered order.
Picture picture_of(int colours, std::int32_t width, std::int32_t height, std::int32_t extra_stride) {
  Picture p(width, height, 3, extra_stride);
  for (std::int32_t i = 0; i < width * height; ++i) {
    int c = (i * 7) % colours;
    p.set(i % width, i / width, static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8 | 0x40),
          static_cast<std::uint8_t>(255 - c % 251));
  }
  return p;
}

class CompactPngTest : public RuntimeTest {
 protected:
  std::int32_t save(const Picture& p, std::uint32_t layout) {
    return write_compact_png(temp_path16("out.png").c_str(), p.data(), p.width, p.height, p.stride, layout, 0, 24);
  }
};

TEST_F(CompactPngTest, KeepsEveryColourInTheSmallestKindThatHoldsThem) {
  struct Case {
    int colours;
    std::int32_t width, height, extra_stride;
    std::uint32_t layout;
    int colour_type, bit_depth;
  };
  const Case cases[] = {
      {1, 5, 3, 0, ROWS_BOTTOM_UP, 3, 4},     {16, 7, 4, 3, 0, 3, 4},
      {17, 9, 5, 0, ROWS_BOTTOM_UP, 3, 8},    {256, 16, 16, 1, 0, 3, 8},
      {257, 17, 16, 0, ROWS_BOTTOM_UP, 2, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.colours << " colours, " << c.width << " wide");
    Picture p = picture_of(c.colours, c.width, c.height, c.extra_stride);
    ASSERT_EQ(1, save(p, c.layout));
    DecodedPng png;
    ASSERT_TRUE(decode_png(temp_path("out.png"), png));
    EXPECT_EQ(c.colour_type, png.colour_type);
    EXPECT_EQ(c.bit_depth, png.bit_depth);
    if (c.colour_type == 3) {
      EXPECT_EQ(std::size_t(c.colours) * 3, png.palette.size());
      // Index rows are stored unfiltered.
      PngChunks chunks = walk_chunks(read_whole_file(temp_path("out.png")));
      Bytes raw = inflate_all(chunks.idat);
      std::size_t row_bytes = (std::size_t(c.width) * std::size_t(c.bit_depth) + 7) / 8;
      ASSERT_EQ((row_bytes + 1) * std::size_t(c.height), raw.size());
      for (std::size_t at = 0; at < raw.size(); at += row_bytes + 1) EXPECT_EQ(0, raw[at]);
    }
    std::vector<Bytes> rows = rgb_rows(png);
    ASSERT_EQ(std::size_t(c.height), rows.size());
    for (std::int32_t y = 0; y < c.height; ++y)
      for (std::int32_t x = 0; x < c.width; ++x) {
        const std::uint8_t* pixel = p.at(x, c.layout == ROWS_BOTTOM_UP ? c.height - 1 - y : y);
        ASSERT_EQ((Bytes{pixel[2], pixel[1], pixel[0]}), Bytes(&rows[y][x * 3], &rows[y][x * 3 + 3])) << x << "," << y;
      }
  }
}

TEST_F(CompactPngTest, FailuresLeaveTheEarlierFileAndNoBlocks) {
  const std::size_t blocks = native::heap_block_count(general_heap());
  for (int colours : {12, 300}) {
    SCOPED_TRACE(colours);
    Picture p = picture_of(colours, 40, 30, 0);
    ASSERT_EQ(1, save(p, ROWS_BOTTOM_UP));
    const Bytes earlier = read_whole_file(temp_path("out.png"));
    for (std::size_t allowed : {std::size_t{0}, std::size_t{40}, earlier.size() - 1}) {
      native::faults::fail_writes_after(allowed);
      EXPECT_EQ(0, save(p, ROWS_BOTTOM_UP)) << allowed;
      native::faults::reset();
    }
    native::faults::fail_allocations_from(40 * 30);
    EXPECT_EQ(0, save(p, ROWS_BOTTOM_UP));
    native::faults::reset();
    native::faults::fail_next_create();
    EXPECT_EQ(0, save(p, ROWS_BOTTOM_UP));
    EXPECT_EQ(read_whole_file(temp_path("out.png")), earlier);
    EXPECT_EQ(temp_names(), std::vector<std::string>{"out.png"});
  }
  EXPECT_EQ(blocks, native::heap_block_count(general_heap()));

  register_compact_png_encoder();
  Picture p = picture_of(3, 4, 4, 0);
  EXPECT_EQ(1, write_image_file(temp_path16("via.png").c_str(), p.data(), ENCODER_PNG_COMPACT, 4, 4, p.stride, 24,
                                ROWS_BOTTOM_UP, 0, 24));
  EXPECT_TRUE(file_exists(temp_path("via.png")));
}

}  // namespace
