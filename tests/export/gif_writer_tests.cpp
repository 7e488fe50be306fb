// The GIF writer's failures: a refused output, a write that fails anywhere
// in the file, or frames it cannot write leave what was under the name as it
// was and nothing beside it. (What a GIF shows is checked through ss4topng,
// which reads its animations back.)
#include "export/gif_writer.h"
#include "native/system/faults.h"
#include "runtime_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class GifWriterTest : public RuntimeTest {
 protected:
  std::int32_t save(std::span<const GifFrame> frames, int width = 8) {
    return write_gif_named(temp_path("out.gif"), {width, 8, colours_, true}, frames);
  }

  std::vector<std::uint32_t> colours_ = {0x000000, 0xFFFFFF, 0x0000FF};
  std::vector<std::uint8_t> indices_ = std::vector<std::uint8_t>(64, 1);
};

TEST_F(GifWriterTest, FailuresLeaveTheEarlierFileAndNothingElse) {
  const std::vector<std::uint8_t> shown(64, 2);
  const GifFrame whole{0, 0, 8, 8, shown.data(), nullptr, 8, 10, -1};
  const GifFrame corner{2, 2, 3, 3, indices_.data(), shown.data(), 8, 5, 3};
  const GifFrame frames[] = {whole, corner, corner};
  ASSERT_EQ(1, save(frames));
  const std::vector<std::uint8_t> earlier = read_whole_file(temp_path("out.gif"));
  for (std::size_t allowed : {std::size_t{0}, std::size_t{13}, earlier.size() - 1}) {
    native::faults::fail_writes_after(allowed);
    EXPECT_EQ(0, save(frames)) << allowed;
    native::faults::reset();
  }
  native::faults::fail_next_create();
  EXPECT_EQ(0, save(frames));
  EXPECT_EQ(0, save(frames, 4));  // frames wider than the picture
  EXPECT_EQ(read_whole_file(temp_path("out.gif")), earlier);
  EXPECT_EQ(temp_names(), std::vector<std::string>{"out.gif"});
}

}  // namespace
