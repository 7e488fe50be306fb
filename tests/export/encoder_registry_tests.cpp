#include "export/encoder_registry.h"
#include "export/png_writer.h"
#include "native/system/faults.h"
#include "native/system/heap.h"
#include "runtime/general_heap.h"
#include "runtime_fixture.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr std::uint32_t CODE_WITH_ALPHA = 0x31545354;     // "TST1"
constexpr std::uint32_t CODE_WITHOUT_ALPHA = 0x32545354;  // "TST2"
constexpr std::int32_t FAKE_RESULT = 7;

// What the last writer call received, with a copy of its buffer.
struct WriterCall {
  int entry = 0;  // 24 or 32
  const std::uint8_t* pixels = nullptr;
  std::int32_t width = 0, height = 0, stride = 0;
  std::uint32_t layout = 0, options = 0;
  std::int32_t depth = 0;
  std::vector<std::uint8_t> bytes;
};
WriterCall last_call;
int call_count = 0;

template <int Entry>
std::int32_t recording_writer(const char16_t*, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                              std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth) {
  ++call_count;
  last_call = {Entry,   pixels, width,
               height,  stride, layout,
               options, depth,  std::vector<std::uint8_t>(pixels, pixels + static_cast<std::size_t>(stride) * height)};
  return FAKE_RESULT;
}

ImageEncoder with_alpha{CODE_WITH_ALPHA, recording_writer<24>, recording_writer<32>};
ImageEncoder without_alpha{CODE_WITHOUT_ALPHA, recording_writer<24>, nullptr};
// Claims the built-in code; the dispatch must never reach it.
ImageEncoder impostor_bmp{ENCODER_BMP, recording_writer<24>, recording_writer<32>};

class EncoderRegistryTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    static bool registered = false;
    if (!registered) {
      register_encoder(&with_alpha);
      register_encoder(&without_alpha);
      register_encoder(&impostor_bmp);
      registered = true;
    }
    call_count = 0;
    last_call = {};
    name = temp_path16("out.img");
  }

  std::int32_t dispatch(std::uint32_t code, const Picture& p, std::int32_t image_depth, std::int32_t depth,
                        std::uint32_t layout = ROWS_BOTTOM_UP, std::uint32_t options = 7) {
    return write_image_file(name.c_str(), p.data(), code, p.width, p.height, p.stride, image_depth, layout, options,
                            depth);
  }

  std::u16string name;
};

// 32-bit rows covering the composite's corner cases.
Picture translucent_picture() {
  Picture p(3, 3, 4);
  p.fill(0, 0, 0, 255);
  p.set(0, 0, 10, 20, 30, 0);     // fully transparent: white
  p.set(1, 0, 10, 20, 30, 255);   // opaque: unchanged
  p.set(2, 0, 0, 100, 255, 128);  // half: 127, 177, 255
  p.set(0, 2, 200, 0, 50, 64);
  return p;
}

TEST_F(EncoderRegistryTest, UnknownCodesAndImageDepthsFailWithoutWriting) {
  Picture p(2, 2, 4);
  EXPECT_EQ(0, dispatch(0x5A5958, p, 24, 24));  // "XYZ"
  for (std::int32_t image_depth : {0, 8, 16, 31}) EXPECT_EQ(0, dispatch(CODE_WITH_ALPHA, p, image_depth, 24));
  EXPECT_EQ(0, call_count);
  EXPECT_FALSE(file_exists(temp_path("out.img")));
}

TEST_F(EncoderRegistryTest, TwentyFourBitPixelsPassThroughUnchanged) {
  Picture p(3, 2, 3, 8);
  EXPECT_EQ(FAKE_RESULT, dispatch(CODE_WITH_ALPHA, p, 24, 8, 0, 0x1234));
  ASSERT_EQ(1, call_count);
  EXPECT_EQ(24, last_call.entry);
  EXPECT_EQ(p.data(), last_call.pixels);
  EXPECT_EQ(3, last_call.width);
  EXPECT_EQ(2, last_call.height);
  EXPECT_EQ(p.stride, last_call.stride);
  EXPECT_EQ(0u, last_call.layout);
  EXPECT_EQ(0x1234u, last_call.options);
  EXPECT_EQ(8, last_call.depth);
}

TEST_F(EncoderRegistryTest, ThirtyTwoBitKeepsAlphaOnlyWhereTheWriterAndDepthAllow) {
  Picture p = translucent_picture();
  EXPECT_EQ(FAKE_RESULT, dispatch(CODE_WITH_ALPHA, p, 32, 32));
  EXPECT_EQ(32, last_call.entry);
  EXPECT_EQ(p.data(), last_call.pixels);

  struct Case {
    std::uint32_t code;
    std::int32_t depth;
  };
  for (Case c : {Case{CODE_WITH_ALPHA, 24}, Case{CODE_WITH_ALPHA, 8}, Case{CODE_WITHOUT_ALPHA, 32}}) {
    SCOPED_TRACE(c.depth);
    EXPECT_EQ(FAKE_RESULT, dispatch(c.code, p, 32, c.depth, ROWS_BOTTOM_UP, DITHER));
    ASSERT_EQ(24, last_call.entry);
    EXPECT_EQ(12, last_call.stride);  // 3 × 3 rounded up to 4
    EXPECT_EQ(c.depth, last_call.depth);
    EXPECT_EQ(ROWS_BOTTOM_UP, last_call.layout);
    EXPECT_EQ(DITHER, last_call.options);
    // Composited over white, rows in memory order; 64 × (c − 255) for row 2.
    const std::vector<std::uint8_t> expected[] = {
        {255, 255, 255, 10, 20, 30, 127, 177, 255}, {0, 0, 0, 0, 0, 0, 0, 0, 0}, {241, 191, 203, 0, 0, 0, 0, 0, 0}};
    for (int y = 0; y < 3; ++y)
      EXPECT_EQ(expected[y], std::vector<std::uint8_t>(&last_call.bytes[y * 12], &last_call.bytes[y * 12 + 9]));
  }
}

TEST_F(EncoderRegistryTest, ConversionBufferIsFreedAndItsFailureReported) {
  Picture p = translucent_picture();
  std::size_t blocks = native::heap_block_count(general_heap());
  EXPECT_EQ(FAKE_RESULT, dispatch(CODE_WITH_ALPHA, p, 32, 24));
  EXPECT_EQ(blocks, native::heap_block_count(general_heap()));

  call_count = 0;
  native::faults::fail_allocations_from(1);
  EXPECT_EQ(0, dispatch(CODE_WITH_ALPHA, p, 32, 24));
  EXPECT_EQ(0, call_count);
}

TEST_F(EncoderRegistryTest, BmpIsBuiltInAndIgnoresTheList) {
  Picture p(2, 2, 3);
  EXPECT_EQ(1, dispatch(ENCODER_BMP, p, 24, 24));
  EXPECT_EQ(0, call_count);
  std::vector<std::uint8_t> file = read_whole_file(temp_path("out.img"));
  ASSERT_EQ(70u, file.size());
  EXPECT_EQ('B', file[0]);
  EXPECT_EQ('M', file[1]);
}

TEST_F(EncoderRegistryTest, PngEncoderRegistersOnce) {
  register_png_encoder();
  int count = encoder_count();
  register_png_encoder();
  EXPECT_EQ(count, encoder_count());
  const ImageEncoder* png = find_encoder(ENCODER_PNG);
  ASSERT_NE(nullptr, png);
  EXPECT_EQ(&write_png_rgb, png->write_24);
  EXPECT_EQ(&write_png_rgba, png->write_32);
}

// Registers one more encoder than the list holds; true when the last is refused.
bool overfill_list() {
  static ImageEncoder spare[MAX_ENCODERS + 1];
  for (int i = 0; i <= MAX_ENCODERS; ++i) {
    spare[i] = {0x40000000u + static_cast<std::uint32_t>(i), recording_writer<24>, nullptr};
    register_encoder(&spare[i]);
  }
  return encoder_count() == MAX_ENCODERS && find_encoder(0x40000000u + MAX_ENCODERS) == nullptr;
}

TEST(EncoderRegistryDeathTest, ListRefusesEntriesPastItsCapacity) {
  // Filling the process-wide list would spoil other tests, so do it in a child.
  EXPECT_EXIT(std::exit(overfill_list() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

}  // namespace
