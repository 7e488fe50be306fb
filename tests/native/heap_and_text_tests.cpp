#include "native/faults.h"
#include "native/heap.h"
#include "native/text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Heap, BlocksAreZeroedOnRequestAndCounted) {
  native::Heap* heap = native::heap_create(4096);
  auto* a = static_cast<unsigned char*>(native::heap_alloc(heap, 100, true));
  void* b = native::heap_alloc(heap, 50, false);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(a[i], 0);
  EXPECT_EQ(native::heap_block_count(heap), 2u);
  EXPECT_TRUE(native::heap_free(heap, b));
  EXPECT_EQ(native::heap_block_count(heap), 1u);
  EXPECT_TRUE(native::heap_destroy(heap));  // takes `a` with it
}

TEST(Heap, ResizeZeroFillsGrowthAndKeepsTheBlockOnFailure) {
  native::Heap* heap = native::heap_create(4096);
  auto* block = static_cast<unsigned char*>(native::heap_alloc(heap, 4, false));
  std::memset(block, 0x5A, 4);
  block = static_cast<unsigned char*>(native::heap_realloc(heap, block, 64, true));
  EXPECT_EQ(block[3], 0x5A);
  EXPECT_EQ(block[4], 0);
  EXPECT_EQ(block[63], 0);
  native::faults::fail_allocations_from(1000);
  EXPECT_EQ(native::heap_realloc(heap, block, 5000, true), nullptr);
  EXPECT_EQ(block[3], 0x5A);
  EXPECT_EQ(native::heap_block_count(heap), 1u);
  native::faults::reset();
  native::heap_destroy(heap);
}

TEST(Heap, BlocksOfAnotherHeapAreRefused) {
  native::Heap* one = native::heap_create(0);
  native::Heap* two = native::heap_create(0);
  void* block = native::heap_alloc(one, 8, true);
  EXPECT_FALSE(native::heap_free(two, block));
  EXPECT_EQ(native::heap_realloc(two, block, 16, true), nullptr);
  native::heap_destroy(one);
  native::heap_destroy(two);
}

TEST(Text, ConvertsBothWaysIncludingSurrogatePairs) {
  std::u16string text = u"Bildschirm \u00e9\u4e2d \U0001F600 end";
  EXPECT_EQ(native::from_utf8(native::to_utf8(text)), text);
  EXPECT_EQ(native::to_utf8(u"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(native::to_utf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // lone surrogate
  EXPECT_EQ(native::from_utf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(native::from_utf8("\xE4\xB8"), u"\uFFFD");  // cut short
}

}  // namespace
