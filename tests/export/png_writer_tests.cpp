#include "export/encoder_registry.h"
#include "export/png_writer.h"
#include "native/system/faults.h"
#include "native/system/heap.h"
#include "png_reader.h"
#include "runtime/general_heap.h"
#include "runtime_fixture.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class PngWriterTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    path = temp_path("out.png");
    name = temp_path16("out.png");
  }

  std::int32_t save(const Picture& p, std::int32_t depth, std::uint32_t layout = ROWS_BOTTOM_UP,
                    std::uint32_t options = 0) {
    WriterFunction writer = p.bytes_per_pixel == 3 ? write_png_rgb : write_png_rgba;
    return writer(name.c_str(), p.data(), p.width, p.height, p.stride, layout, options, depth);
  }

  // Decodes the file after checking its raw layout: no chunks besides IHDR,
  // PLTE, IDAT and IEND, and every row unfiltered.
  DecodedPng decode_checked(std::uint32_t bits_per_pixel) {
    DecodedPng png;
    EXPECT_TRUE(decode_png(path, png));
    PngChunks chunks = walk_chunks(read_whole_file(path));
    EXPECT_TRUE(chunks.signature_ok);
    std::vector<std::string> expected{"IHDR"};
    if (png.colour_type == 3) expected.push_back("PLTE");
    while (expected.size() + 1 < chunks.types.size()) expected.push_back("IDAT");
    expected.push_back("IEND");
    EXPECT_EQ(expected, chunks.types);

    Bytes raw = inflate_all(chunks.idat);
    std::size_t row_bytes = (png.width * bits_per_pixel + 7) / 8;
    EXPECT_EQ((row_bytes + 1) * png.height, raw.size());
    for (std::size_t at = 0; at < raw.size(); at += row_bytes + 1) EXPECT_EQ(0, raw[at]) << "byte " << at;
    return png;
  }

  std::string path;
  std::u16string name;
};

TEST_F(PngWriterTest, TrueColourComesOutTopRowFirstInRgbOrder) {
  Picture p(512, 384, 3);
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 512; ++x) p.set(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 77);
  p.set(5, 383, 0x10, 0x20, 0x30);  // the top row of a bottom-up buffer
  ASSERT_EQ(1, save(p, 24));
  DecodedPng png = decode_checked(24);
  EXPECT_EQ(512u, png.width);
  EXPECT_EQ(384u, png.height);
  EXPECT_EQ(8, png.bit_depth);
  EXPECT_EQ(2, png.colour_type);
  EXPECT_EQ(0, png.interlace);
  ASSERT_EQ(384u, png.rows.size());
  EXPECT_EQ((Bytes{0x30, 0x20, 0x10}), Bytes(&png.rows[0][15], &png.rows[0][18]));
  int mismatches = 0;
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 512; ++x)
      for (int c = 0; c < 3; ++c) mismatches += png.rows[y][x * 3 + c] != p.at(x, 383 - y)[2 - c];
  EXPECT_EQ(0, mismatches);

  // Top-down rows with padding: memory order, padding never read.
  Picture small(3, 2, 3, 5);
  for (int i = 0; i < 6; ++i) small.set(i % 3, i / 3, 10 * i + 1, 10 * i + 2, 10 * i + 3);
  ASSERT_EQ(1, save(small, 24, 0));
  png = decode_checked(24);
  EXPECT_EQ((std::vector<Bytes>{{3, 2, 1, 13, 12, 11, 23, 22, 21}, {33, 32, 31, 43, 42, 41, 53, 52, 51}}), png.rows);
}

TEST_F(PngWriterTest, RgbaKeepsAlpha) {
  Picture p(2, 2, 4);
  p.set(0, 0, 1, 2, 3, 0);
  p.set(1, 0, 4, 5, 6, 128);
  p.set(0, 1, 7, 8, 9, 255);
  p.set(1, 1, 10, 11, 12, 1);
  ASSERT_EQ(1, save(p, 32));
  DecodedPng png = decode_checked(32);
  EXPECT_EQ(6, png.colour_type);
  EXPECT_EQ((std::vector<Bytes>{{9, 8, 7, 255, 12, 11, 10, 1}, {3, 2, 1, 0, 6, 5, 4, 128}}), png.rows);
}

// Two colours in blocks: a dark one, and a light one that the luminance
// threshold turns white.
Picture two_colour_picture(std::int32_t bpp) {
  Picture p(64, 48, bpp);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) (x / 4 + y / 3) % 3 ? p.set(x, y, 0, 0, 200) : p.set(x, y, 40, 230, 40);
  return p;
}

TEST_F(PngWriterTest, PaletteDepthsMapBackToTheirColours) {
  for (std::int32_t depth : {1, 2, 4, 8})
    for (std::int32_t bpp : {3, 4}) {
      SCOPED_TRACE(testing::Message() << "depth " << depth << " bytes " << bpp);
      Picture p = two_colour_picture(bpp);
      ASSERT_EQ(1, save(p, depth));
      DecodedPng png = decode_checked(static_cast<std::uint32_t>(depth));
      EXPECT_EQ(3, png.colour_type);
      EXPECT_EQ(depth, png.bit_depth);
      EXPECT_EQ(0, png.interlace);
      ASSERT_EQ(3u << depth, png.palette.size());
      if (depth == 1) {
        EXPECT_EQ((Bytes{0, 0, 0, 255, 255, 255}), png.palette);
      }
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
          std::uint8_t index = png.rows[y][x];
          ASSERT_LT(index, 1 << depth);
          const std::uint8_t* pixel = p.at(x, 47 - y);
          if (depth == 1) {
            EXPECT_EQ(pixel[1] == 230 ? 1 : 0, index);
            continue;
          }
          for (int c = 0; c < 3; ++c) EXPECT_NEAR(pixel[2 - c], png.palette[index * 3 + c], 3) << x << "," << y;
        }
    }
}

TEST_F(PngWriterTest, ReplacesAnEarlierFileAndRefusesImpossibleRequests) {
  ASSERT_EQ(1, save(ramp_picture(40, 30, 3), 24));
  ASSERT_EQ(1, save(two_colour_picture(3), 24));
  DecodedPng png;
  ASSERT_TRUE(decode_png(path, png));
  EXPECT_EQ(64u, png.width);

  // Palettes of 3, 5 or 7 bits do not exist in the format; failing, a save
  // leaves the earlier file as it was.
  const std::vector<std::uint8_t> earlier = read_whole_file(path);
  for (std::int32_t depth : {3, 5, 7}) {
    EXPECT_EQ(0, save(two_colour_picture(3), depth)) << depth;
    EXPECT_EQ(read_whole_file(path), earlier) << depth;
  }

  std::u16string missing = temp_path16("no-such-folder/out.png");
  Picture p = two_colour_picture(3);
  EXPECT_EQ(0, write_png_rgb(missing.c_str(), p.data(), p.width, p.height, p.stride, ROWS_BOTTOM_UP, 0, 24));
  EXPECT_FALSE(file_exists(temp_path("no-such-folder")));

  for (std::int32_t depth : {24, 4}) {
    native::faults::fail_next_create();
    EXPECT_EQ(0, save(p, depth));
    EXPECT_EQ(read_whole_file(path), earlier);
  }
  EXPECT_EQ(temp_names(), std::vector<std::string>{"out.png"});
}

TEST_F(PngWriterTest, FailuresLeaveTheEarlierFileAsItWas) {
  Picture colour = ramp_picture(60, 40, 3);
  Picture translucent = ramp_picture(30, 20, 4);
  struct Case {
    const Picture* picture;
    std::int32_t depth;
  };
  std::size_t blocks = native::heap_block_count(general_heap());
  for (Case c : {Case{&colour, 24}, Case{&translucent, 32}, Case{&colour, 8}, Case{&colour, 2}}) {
    SCOPED_TRACE(c.depth);
    ASSERT_EQ(1, save(*c.picture, c.depth));
    const std::vector<std::uint8_t> earlier = read_whole_file(path);
    std::size_t size = earlier.size();
    // Short writes, including one of the very last byte, which only shows
    // when the stream is closed.
    for (std::size_t allowed = 0; allowed < size; allowed += (allowed < 80 ? 1 : allowed + 97 < size ? 97 : 1)) {
      native::faults::fail_writes_after(allowed);
      EXPECT_EQ(0, save(*c.picture, c.depth)) << "after " << allowed;
      EXPECT_EQ(read_whole_file(path), earlier) << "after " << allowed;
      EXPECT_EQ(temp_names().size(), 1u) << "after " << allowed;
      native::faults::reset();
    }
    native::faults::fail_writes_after(size);
    EXPECT_EQ(1, save(*c.picture, c.depth));
    native::faults::reset();
  }

  // Out of memory at each allocation of the colour reduction.
  std::filesystem::remove(path);
  for (std::size_t budget = 0; budget < 4; ++budget) {
    native::faults::fail_allocations_after(budget);
    EXPECT_EQ(0, save(colour, 4, ROWS_BOTTOM_UP, DITHER)) << budget;
    EXPECT_EQ(temp_names(), std::vector<std::string>{}) << budget;
    native::faults::reset();
  }
  EXPECT_EQ(blocks, native::heap_block_count(general_heap()));
}

TEST_F(PngWriterTest, DispatchSavesThroughTheRegisteredEncoder) {
  register_png_encoder();
  Picture p(2, 1, 4);
  p.set(0, 0, 0, 0, 0, 0);
  p.set(1, 0, 0, 100, 255, 128);
  ASSERT_EQ(1, write_image_file(name.c_str(), p.data(), ENCODER_PNG, 2, 1, p.stride, 32, ROWS_BOTTOM_UP, 7, 24));
  DecodedPng png = decode_checked(24);
  EXPECT_EQ(2, png.colour_type);
  EXPECT_EQ((std::vector<Bytes>{{255, 255, 255, 255, 177, 127}}), png.rows);
}

}  // namespace
