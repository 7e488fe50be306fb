#include "export/bmp_writer.h"
#include "export/encoder_registry.h"
#include "native/system/faults.h"
#include "native/system/heap.h"
#include "runtime/general_heap.h"
#include "runtime_fixture.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t le32(const Bytes& f, std::size_t at) {
  return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | (std::uint32_t{f[at + 3]} << 24);
}
std::uint32_t le16(const Bytes& f, std::size_t at) { return f[at] | (f[at + 1] << 8); }
Bytes slice(const Bytes& f, std::size_t at, std::size_t count) { return {&f[at], &f[at] + count}; }

class BmpWriterTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    path = temp_path("out.bmp");
    name = temp_path16("out.bmp");
  }

  std::int32_t save(const Picture& p, std::int32_t depth, std::uint32_t layout = ROWS_BOTTOM_UP,
                    std::uint32_t options = 0) {
    return write_bmp(name.c_str(), p.data(), p.stride, p.width, p.height, p.bytes_per_pixel * 8, layout, options,
                     depth);
  }

  // Saves and checks every header field against the sizes the format implies.
  Bytes save_and_check(const Picture& p, std::int32_t depth, std::uint32_t row_size, std::uint32_t offset,
                       std::uint32_t layout = ROWS_BOTTOM_UP) {
    EXPECT_EQ(1, save(p, depth, layout));
    Bytes f = read_whole_file(path);
    EXPECT_EQ(offset + row_size * p.height, f.size());
    if (f.size() < 54) return f;
    EXPECT_EQ('B', f[0]);
    EXPECT_EQ('M', f[1]);
    EXPECT_EQ(f.size(), le32(f, 2));
    EXPECT_EQ(0u, le32(f, 6));
    EXPECT_EQ(offset, le32(f, 10));
    EXPECT_EQ(40u, le32(f, 14));
    EXPECT_EQ(static_cast<std::uint32_t>(p.width), le32(f, 18));
    EXPECT_EQ(static_cast<std::uint32_t>(p.height), le32(f, 22));
    EXPECT_EQ(1u, le16(f, 26));
    EXPECT_EQ(static_cast<std::uint32_t>(depth), le16(f, 28));
    EXPECT_EQ(0u, le32(f, 30));
    EXPECT_EQ(row_size * p.height, le32(f, 34));
    for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(0u, le32(f, at)) << "offset " << at;
    return f;
  }

  std::string path;
  std::u16string name;
};

Picture three_by_two(std::int32_t extra_stride = 0) {
  Picture p(3, 2, 3, extra_stride);
  for (int i = 0; i < 6; ++i) p.set(i % 3, i / 3, 10 * i + 1, 10 * i + 2, 10 * i + 3);
  return p;
}

TEST_F(BmpWriterTest, TrueColourRowsGoBottomRowFirst) {
  Bytes f = save_and_check(three_by_two(), 24, 12, 54);  // 78 bytes
  EXPECT_EQ((Bytes{1, 2, 3, 11, 12, 13, 21, 22, 23}), slice(f, 54, 9));
  EXPECT_EQ((Bytes{31, 32, 33, 41, 42, 43, 51, 52, 53}), slice(f, 66, 9));

  f = save_and_check(three_by_two(4), 24, 12, 54);  // padded stride: re-laid rows
  EXPECT_EQ((Bytes{1, 2, 3, 11, 12, 13, 21, 22, 23, 0, 0, 0}), slice(f, 54, 12));

  f = save_and_check(three_by_two(), 24, 12, 54, 0);  // top row first in memory
  EXPECT_EQ((Bytes{31, 32, 33, 41, 42, 43, 51, 52, 53, 0, 0, 0}), slice(f, 54, 12));
  EXPECT_EQ((Bytes{1, 2, 3, 11, 12, 13, 21, 22, 23, 0, 0, 0}), slice(f, 66, 12));

  f = save_and_check(three_by_two(), 32, 12, 54);
  EXPECT_EQ((Bytes{1, 2, 3, 0, 11, 12, 13, 0, 21, 22, 23, 0}), slice(f, 54, 12));
}

TEST_F(BmpWriterTest, ThirtyTwoBitImageIsCompositedOverWhite) {
  Picture p(3, 1, 4);
  p.set(0, 0, 10, 20, 30, 0);
  p.set(1, 0, 10, 20, 30, 255);
  p.set(2, 0, 0, 100, 255, 128);
  Bytes f = save_and_check(p, 24, 12, 54);
  EXPECT_EQ((Bytes{255, 255, 255, 10, 20, 30, 127, 177, 255}), slice(f, 54, 9));

  f = save_and_check(p, 32, 12, 54, 0);  // re-laid rows lose alpha too
  EXPECT_EQ((Bytes{255, 255, 255, 0, 10, 20, 30, 0, 127, 177, 255, 0}), slice(f, 54, 12));

  f = save_and_check(p, 32, 12, 54);  // already in file layout: stored as it is
  EXPECT_EQ(p.bytes, slice(f, 54, 12));
}

TEST_F(BmpWriterTest, PaletteFilesHoldFullPalettesAndPackedRows) {
  // 8 bits: two colours, each pixel's entry close to its colour.
  Picture two(5, 3, 3);
  for (int i = 0; i < 15; ++i) i % 2 ? two.set(i % 5, i / 5, 200, 40, 10) : two.set(i % 5, i / 5, 20, 180, 240);
  Bytes f = save_and_check(two, 8, 8, 1078);
  for (int i = 0; i < 15; ++i) {
    std::size_t index = f[1078 + (i / 5) * 8 + i % 5];
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(two.at(i % 5, i / 5)[c], f[54 + index * 4 + c], 6) << i;
    EXPECT_EQ(0, f[54 + index * 4 + 3]);
  }

  // 1 bit: black and white by luminance, leftmost pixel in the top bit.
  Picture grey(9, 1, 3);
  grey.fill(0, 0, 0);
  grey.set(0, 0, 255, 255, 255);
  grey.set(2, 0, 128, 128, 128);  // luminance 128: dark
  grey.set(3, 0, 0, 255, 0);      // pure green: light
  grey.set(8, 0, 255, 255, 255);
  f = save_and_check(grey, 1, 4, 62);
  EXPECT_EQ((Bytes{0, 0, 0, 0, 255, 255, 255, 0}), slice(f, 54, 8));
  EXPECT_EQ((Bytes{0x90, 0x80}), slice(f, 62, 2));

  // 4 bits: one colour gives one index in every nibble.
  Picture flat(4, 4, 3);
  flat.fill(50, 100, 150);
  f = save_and_check(flat, 4, 4, 118);
  std::uint8_t index = f[118] >> 4;
  auto both = static_cast<std::uint8_t>(index * 0x11);
  for (int y = 0; y < 4; ++y) EXPECT_EQ((Bytes{both, both}), slice(f, 118 + y * 4, 2));
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(flat.at(0, 0)[c], f[54 + index * 4 + c], 3);

  Picture narrow(1, 3, 3);
  narrow.fill(9, 9, 9);
  save_and_check(narrow, 4, 4, 118);
}

TEST_F(BmpWriterTest, UnsupportedRequestsCreateNoFile) {
  Picture p = three_by_two();
  for (std::int32_t depth : {0, 2, 3, 16, 33}) EXPECT_EQ(0, save(p, depth)) << depth;
  EXPECT_EQ(0, write_bmp(name.c_str(), p.data(), p.stride, p.width, p.height, 16, ROWS_BOTTOM_UP, 0, 24));
  EXPECT_EQ(0, write_bmp(name.c_str(), p.data(), p.stride, 0, p.height, 24, ROWS_BOTTOM_UP, 0, 24));
  native::faults::fail_next_create();
  EXPECT_EQ(0, save(p, 24));
  EXPECT_FALSE(file_exists(path));
}

TEST_F(BmpWriterTest, FailuresLeaveTheEarlierFileAsItWas) {
  Picture colour = ramp_picture(7, 5, 3);
  Picture translucent = ramp_picture(7, 5, 4);
  struct Case {
    const Picture* picture;
    std::int32_t depth;
    std::uint32_t layout;
  };
  const Case cases[] = {{&colour, 24, ROWS_BOTTOM_UP}, {&colour, 24, 0}, {&translucent, 32, 0},
                        {&colour, 8, ROWS_BOTTOM_UP},  {&colour, 4, 0},  {&translucent, 1, ROWS_BOTTOM_UP}};
  std::size_t blocks = native::heap_block_count(general_heap());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    ASSERT_EQ(1, save(*c.picture, c.depth, c.layout));
    const std::vector<std::uint8_t> earlier = read_whole_file(path);
    const std::vector<std::string> names = temp_names();
    std::size_t size = earlier.size();
    for (std::size_t allowed = 0; allowed < size; allowed += (allowed < 60 ? 1 : 13)) {
      native::faults::fail_writes_after(allowed);
      EXPECT_EQ(0, save(*c.picture, c.depth, c.layout)) << "after " << allowed;
      EXPECT_EQ(read_whole_file(path), earlier) << "after " << allowed;
      EXPECT_EQ(temp_names(), names) << "after " << allowed;
      native::faults::reset();
    }
    native::faults::fail_writes_after(size);
    EXPECT_EQ(1, save(*c.picture, c.depth, c.layout));
    native::faults::reset();

    // Out of memory: for the reduction on palette depths, for the row buffer
    // when rows are re-laid; rows already in file layout need none.
    bool needs_memory = !(c.depth == 24 && c.layout == ROWS_BOTTOM_UP);
    native::faults::fail_allocations_from(1);
    EXPECT_EQ(needs_memory ? 0 : 1, save(*c.picture, c.depth, c.layout));
    EXPECT_EQ(read_whole_file(path), earlier);
    EXPECT_EQ(temp_names(), names);
    native::faults::reset();
  }
  EXPECT_EQ(blocks, native::heap_block_count(general_heap()));
}

}  // namespace
