#include "image_fixture.h"

#include "export/encoder_registry.h"
#include "image/drawing.h"
#include "image/save_image.h"

#include <string>

namespace {

// Encoders that only record what they are given.
constexpr std::uint32_t FAKE_BOTH = 0x454B46;  // "FKE": 24 and 32 bits
constexpr std::uint32_t FAKE_24 = 0x343246;    // "F24": 24 bits only

struct WriterCall {
  int bits = 0;  // 24 or 32: which writer ran
  std::u16string name;
  const std::uint8_t* pixels = nullptr;
  std::vector<std::uint8_t> bytes;  // the first row in memory, as given
  std::int32_t width = 0, height = 0, stride = 0;
  std::uint32_t layout = 0, options = 0;
  std::int32_t depth = 0;
};

std::vector<WriterCall> calls;

std::int32_t record(int bits, const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                    std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth) {
  WriterCall call;
  call.bits = bits;
  call.name = name;
  call.pixels = pixels;
  call.bytes.assign(pixels, pixels + stride);
  call.width = width;
  call.height = height;
  call.stride = stride;
  call.layout = layout;
  call.options = options;
  call.depth = depth;
  calls.push_back(call);
  return 1;
}

std::int32_t record_24(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth) {
  return record(24, name, pixels, width, height, stride, layout, options, depth);
}

std::int32_t record_32(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth) {
  return record(32, name, pixels, width, height, stride, layout, options, depth);
}

ImageEncoder fake_both{FAKE_BOTH, record_24, record_32};
ImageEncoder fake_24{FAKE_24, record_24, nullptr};

class SaveImageTest : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    // The encoder list lives as long as the process: register once.
    static bool registered = false;
    if (!registered) {
      register_encoder(&fake_both);
      register_encoder(&fake_24);
      registered = true;
    }
    calls.clear();
  }
};

TEST_F(SaveImageTest, NothingIsWrittenWithoutANameOrAnImage) {
  ASSERT_NE(create_image(0, 2, 2), 0);
  EXPECT_EQ(save_image(0, u"", FAKE_BOTH), 0);
  EXPECT_EQ(save_image(0, nullptr, FAKE_BOTH), 0);
  EXPECT_EQ(save_image(9, u"", FAKE_BOTH), 0);
  EXPECT_EQ(save_image(9, u"picture", FAKE_BOTH), 0);
  free_image(0);
  EXPECT_EQ(save_image(0, u"picture", FAKE_BOTH), 0);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(save_image(OBJECT_ANY, u"picture", FAKE_BOTH), 0);
}

TEST_F(SaveImageTest, TwentyFourBitPixelsPassStraightThrough) {
  ASSERT_NE(create_image(0, 3, 2, 24, 0x00030201), 0);
  EXPECT_EQ(save_image(0, u"picture", FAKE_BOTH), 1);
  ASSERT_EQ(calls.size(), 1u);
  const WriterCall& call = calls[0];
  EXPECT_EQ(call.bits, 24);
  EXPECT_EQ(call.name, u"picture");
  EXPECT_EQ(call.pixels, image_bits(0));
  EXPECT_EQ(call.width, 3);
  EXPECT_EQ(call.height, 2);
  EXPECT_EQ(call.stride, 12);
  EXPECT_EQ(call.layout, ROWS_BOTTOM_UP);
  EXPECT_EQ(call.options, 7u);
  EXPECT_EQ(call.depth, 24);

  EXPECT_EQ(save_image(0, u"picture", FAKE_BOTH, DITHER, 8), 1);
  EXPECT_EQ(calls[1].options, DITHER);
  EXPECT_EQ(calls[1].depth, 8);
}

TEST_F(SaveImageTest, ThirtyTwoBitImagesKeepAlphaAtTheirCreationDepth) {
  ASSERT_NE(create_image(0, 2, 1, 32, 0x00030201), 0);
  EXPECT_EQ(save_image(0, u"picture", FAKE_BOTH), 1);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].bits, 32);
  EXPECT_EQ(calls[0].pixels, image_bits(0));
  EXPECT_EQ(calls[0].stride, 8);
  EXPECT_EQ(calls[0].depth, 32);
}

TEST_F(SaveImageTest, ThirtyTwoBitsAreCompositedOverWhiteForTwentyFourBitOutput) {
  ASSERT_NE(create_image(0, 3, 1, 32), 0);
  // Transparent, opaque, and blue 0 at alpha 128.
  const std::uint8_t pixels[] = {10, 20, 30, 0, 10, 20, 30, 255, 0, 100, 200, 128};
  std::copy(std::begin(pixels), std::end(pixels), image_bits(0));
  EXPECT_EQ(save_image(0, u"picture", FAKE_BOTH, 7, 24), 1);
  EXPECT_EQ(save_image(0, u"picture", FAKE_24), 1);  // no 32-bit writer
  ASSERT_EQ(calls.size(), 2u);
  const std::vector<std::uint8_t> composited = {255, 255, 255, 10, 20, 30, 127, 177, 227, 0, 0, 0};
  for (const WriterCall& call : calls) {
    EXPECT_EQ(call.bits, 24);
    EXPECT_NE(call.pixels, image_bits(0));
    EXPECT_EQ(call.stride, 12);
    EXPECT_EQ(std::vector<std::uint8_t>(call.bytes.begin(), call.bytes.begin() + 9),
              std::vector<std::uint8_t>(composited.begin(), composited.begin() + 9));
  }
  EXPECT_EQ(calls[0].depth, 24);
  EXPECT_EQ(calls[1].depth, 32);
}

TEST_F(SaveImageTest, UnknownEncodersWriteNothing) {
  ASSERT_NE(create_image(0, 2, 2), 0);
  EXPECT_EQ(save_image(0, u"picture", 0x585858), 0);
  EXPECT_TRUE(calls.empty());
}

}  // namespace
