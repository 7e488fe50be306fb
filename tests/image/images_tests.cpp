#include "image_fixture.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/gdi_object.h"
#include "native/system/faults.h"

#include <algorithm>

namespace {

using ImagesTest = ImageTest;

std::uint32_t live_bitmaps() { return native::live_object_count(native::ObjectType::bitmap); }

TEST_F(ImagesTest, ViewerSizesAreBlackWithTheirStrides) {
  ASSERT_NE(create_image(0, 256, 192), 0);
  Pixels small = snapshot(0);
  EXPECT_EQ(small.stride, 768);
  EXPECT_EQ(small.data.size(), 147456u);
  EXPECT_TRUE(std::all_of(small.data.begin(), small.data.end(), [](std::uint8_t b) { return b == 0; }));

  ASSERT_NE(create_image(0, 512, 384), 0);
  EXPECT_EQ(snapshot(0).stride, 1536);
  EXPECT_EQ(image_record(0)->width, 512);
  EXPECT_EQ(image_record(0)->height, 384);
}

TEST_F(ImagesTest, TwentyFourBitFillStoresBlueGreenRed) {
  ObjectId handle = create_image(5, 3, 2, 24, 0x0000FF);
  ASSERT_NE(handle, 0);
  EXPECT_EQ(handle, image_id(5));
  Pixels pixels = snapshot(5);
  ASSERT_EQ(pixels.stride, 12);
  const std::vector<std::uint8_t> row = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
  std::vector<std::uint8_t> expected = row;
  expected.insert(expected.end(), row.begin(), row.end());
  EXPECT_EQ(pixels.data, expected);
}

TEST_F(ImagesTest, ThirtyTwoBitFillForcesOpaqueAlpha) {
  ASSERT_NE(create_image(1, 2, 2, 32, 0x00336699), 0);
  EXPECT_EQ(snapshot(1).data, std::vector<std::uint8_t>({0x33, 0x66, 0x99, 0xFF, 0x33, 0x66, 0x99, 0xFF, 0x33, 0x66,
                                                         0x99, 0xFF, 0x33, 0x66, 0x99, 0xFF}));
  // -1 is the one colour that stays transparent: all zero.
  ASSERT_NE(create_image(2, 3, 2, 32, 0xFFFFFFFF), 0);
  Pixels clear = snapshot(2);
  EXPECT_TRUE(std::all_of(clear.data.begin(), clear.data.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(image_record(2)->depth, 32);
  EXPECT_EQ(image_record(2)->creation_depth, 32);
}

TEST_F(ImagesTest, DepthsBelowTwentyFourGiveTwentyFourAndOddDepthsFail) {
  ASSERT_NE(create_image(0, 4, 4, 8), 0);
  EXPECT_EQ(image_record(0)->depth, 24);
  EXPECT_EQ(image_record(0)->creation_depth, 24);
  ASSERT_NE(create_image(1, 4, 4, 16), 0);
  EXPECT_EQ(image_record(1)->depth, 24);
  EXPECT_EQ(create_image(2, 4, 4, 25), 0);
  EXPECT_EQ(create_image(3, 4, 4, 33), 0);
  EXPECT_FALSE(is_image(2));
  EXPECT_FALSE(is_image(3));
}

TEST_F(ImagesTest, ReusingANumberFreesTheOldImage) {
  ASSERT_NE(create_image(0, 8, 8), 0);
  ASSERT_NE(create_image(0, 4, 4), 0);
  EXPECT_EQ(live_bitmaps(), 1u);
  EXPECT_EQ(image_record(0)->width, 4);
}

TEST_F(ImagesTest, FailedCreationLeavesTheNumberEmpty) {
  ASSERT_NE(create_image(0, 64, 64), 0);
  native::faults::fail_allocations_from(64 * 64 * 3);
  EXPECT_EQ(create_image(0, 64, 64), 0);
  EXPECT_FALSE(is_image(0));
  EXPECT_EQ(image_id(0), 0);
  EXPECT_EQ(live_bitmaps(), 0u);
}

TEST_F(ImagesTest, SizesThatDoNotFitTheRecordAreRefused) {
  ASSERT_NE(create_image(0, 16, 16), 0);
  // Too wide for the record: fails like a buffer that cannot be made.
  EXPECT_EQ(create_image(0, 32768, 1), 0);
  EXPECT_FALSE(is_image(0));
  EXPECT_EQ(create_image(1, 1, 40000), 0);
  EXPECT_EQ(create_image(2, 0, 5), 0);
  EXPECT_EQ(create_image(3, 5, 0), 0);
  EXPECT_EQ(create_image(4, 5, -5), 0);
  EXPECT_EQ(live_bitmaps(), 0u);

  ASSERT_NE(create_image(5, 32767, 1), 0);
  EXPECT_EQ(image_record(5)->width, 32767);
}

TEST_F(ImagesTest, AnyImagesAreNamedByTheirIdentity) {
  ObjectId id = create_image(OBJECT_ANY, 3, 3);
  ASSERT_NE(id, 0);
  EXPECT_TRUE(is_image(id));
  EXPECT_EQ(native::get_object_type(reinterpret_cast<void*>(image_id(id))), native::ObjectType::bitmap);
  EXPECT_NE(free_image(id), 0);
  EXPECT_FALSE(is_image(id));
  EXPECT_EQ(image_id(id), 0);

  // A failed creation keeps no empty record behind.
  EXPECT_EQ(create_image(OBJECT_ANY, 0, 3), 0);
  EXPECT_EQ(image_table()->any_list, nullptr);
}

TEST_F(ImagesTest, FreeingAllAndFreeingNothing) {
  EXPECT_NE(free_image(OBJECT_ANY), 0);  // nothing to free: harmless
  EXPECT_EQ(free_image(7), 0);
  create_image(0, 2, 2);
  create_image(3, 2, 2);
  ObjectId any = create_image(OBJECT_ANY, 2, 2);
  free_image(OBJECT_ANY);
  EXPECT_FALSE(is_image(0));
  EXPECT_FALSE(is_image(3));
  EXPECT_FALSE(is_image(any));
  EXPECT_EQ(live_bitmaps(), 0u);
  EXPECT_EQ(free_image(0), 0);
  EXPECT_EQ(image_output(0), nullptr);
}

TEST_F(ImagesTest, ServicesFindTheBlendEntry) {
  EXPECT_TRUE(alpha_blend_available());
  shutdown_image_services();
  EXPECT_FALSE(alpha_blend_available());
  init_image_services();
}

}  // namespace
