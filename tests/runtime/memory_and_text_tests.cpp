#include "runtime_fixture.h"

#include "runtime/memory_blocks.h"
#include "runtime/text_scratch.h"

#include <cstring>
#include <string>

namespace {

class MemoryBlocksTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    init_memory_blocks();
  }
  void TearDown() override {
    shutdown_memory_blocks();
    RuntimeTest::TearDown();
  }
};

TEST_F(MemoryBlocksTest, SizesOfZeroOrLessGiveNoBlock) {
  EXPECT_EQ(allocate_memory(0), nullptr);
  EXPECT_EQ(allocate_memory(-5), nullptr);
  void* block = allocate_memory(8);
  std::memset(block, 7, 8);
  EXPECT_EQ(resize_memory(block, 0), nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(block)[7], 7);  // the old block is untouched
}

TEST_F(MemoryBlocksTest, GrowingKeepsBytesAndZeroFillsTheRest) {
  auto* block = static_cast<unsigned char*>(allocate_memory(1));
  EXPECT_EQ(block[0], 0);
  block[0] = 0xAB;
  block = static_cast<unsigned char*>(resize_memory(block, 100000));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], 0xAB);
  for (int i = 1; i < 100000; ++i) ASSERT_EQ(block[i], 0) << i;
  block = static_cast<unsigned char*>(resize_memory(block, 2));
  EXPECT_EQ(block[0], 0xAB);
  EXPECT_EQ(memory_size(block), 2u);
}

TEST_F(MemoryBlocksTest, ResizingNothingMakesANewBlock) {
  auto* block = static_cast<unsigned char*>(resize_memory(nullptr, 16));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[15], 0);
}

TEST_F(MemoryBlocksTest, ShutdownTakesBlocksStillAllocated) {
  for (int i = 0; i < 10; ++i) allocate_memory(64);
  // The sanitizer build reports a leak if the heap did not free them.
}

class TextScratchTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    init_text();
  }
  void TearDown() override {
    shutdown_text();
    RuntimeTest::TearDown();
  }
};

TEST_F(TextScratchTest, StartsEmptyWithSixteenCharacters) {
  EXPECT_EQ(text_scratch_capacity(), 16u);
  EXPECT_TRUE(text_scratch().empty());
}

TEST_F(TextScratchTest, GrowsToHoldLongResults) {
  std::u16string long_text(100, u'x');
  ASSERT_TRUE(text_scratch_append(u"ab"));
  ASSERT_TRUE(text_scratch_append(long_text));
  EXPECT_EQ(text_scratch(), u"ab" + long_text);
  text_scratch_clear();
  ASSERT_TRUE(text_scratch_append(u"c"));
  EXPECT_EQ(text_scratch(), u"c");
}

}  // namespace
