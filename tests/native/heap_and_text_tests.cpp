#include "native/system/faults.h"
#include "native/system/heap.h"
#include "native/system/text.h"

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
  EXPECT_EQ(native::to_utf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // a lone surrogate, not an escape
}

// Bytes that are not well-formed UTF-8 are each kept as U+DC00 + byte, so
// that no name decodes into another name and every name goes back as it came.
TEST(Text, NamesAreBytesEveryByteComesBack) {
  struct Case {
    const char* bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"x\xC0\x80.ss4", u"x\xDCC0\xDC80.ss4"},                                  // over-long NUL
      {"i\xC1\xAE.ss4", u"i\xDCC1\xDCAE.ss4"},                                  // over-long '.'
      {"\xC0\xAE\xC0\xAE\xC0\xAFv", u"\xDCC0\xDCAE\xDCC0\xDCAE\xDCC0\xDCAFv"},  // "../"
      {"\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},                                  // three-byte over-long '/'
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},                                  // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},                        // past U+10FFFF
      {"caf\xE9.ss4", u"caf\xDCE9.ss4"},                                        // Latin-1
      {"\xE4\xB8", u"\xDCE4\xDCB8"},                                            // cut short
      {"a\xFF\x80"
       "b",
       u"a\xDCFF\xDC80"
       "b"},
      {"\xF0\x9F\x98\x80\xEF\xBF\xBF", u"\U0001F600\uFFFF"},  // well-formed edges decode
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(native::from_utf8(c.bytes), c.text);
    EXPECT_EQ(native::to_utf8(c.text), c.bytes);
  }
  std::string every_byte;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);
  EXPECT_EQ(native::to_utf8(native::from_utf8(every_byte)), every_byte);
}

TEST(Text, EscapedBytesShowAsReplacementCharacters) {
  EXPECT_EQ(native::to_display_utf8(native::from_utf8("caf\xE9 \xC3\xA9")), "caf\xEF\xBF\xBD \xC3\xA9");
}

}  // namespace
