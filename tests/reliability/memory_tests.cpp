// Memory is bounded by what the picture can use, never by the file's size.
#include "reliability_fixture.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr long MEMORY_BOUND_KIB = 64 * 1024;

TEST_F(Reliability, AFileOf2GiBLessOneByteCostsLittleMemory) {
  // Sparse, all zeros: a valid screen whose table never ends before the file.
  std::string huge = put("huge.ss4", {});
  fs::resize_file(huge, (std::uintmax_t{1} << 31) - 1);
  Outcome r = ss4topng({"-o", temp_path("huge.png"), huge});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_LT(r.peak_kib, MEMORY_BOUND_KIB);
  EXPECT_TRUE(png_is_complete(temp_path("huge.png")));
  RecordProperty("peak_kib", std::to_string(r.peak_kib));

  fs::resize_file(huge, std::uintmax_t{1} << 31);  // 2 GiB: refused as ever
  Outcome refused = ss4topng({huge});
  EXPECT_EQ(refused.err, huge + ": too large for a SAM screen: 2147483648 bytes, less than 2 GiB needed\n");
}

// Data after a hole: the converter skips the hole once and reads on from
// exactly where the zeros end.
TEST_F(Reliability, ASparseFileConvertsAsItsZerosWould) {
  std::vector<std::uint8_t> screen = noisy_screen(7);
  screen.resize(24616);  // the fixed part alone: the table is the file's rest
  const std::size_t late = screen.size() + (std::size_t{6} << 20);
  const std::uint8_t records[] = {99, 3, 34, 0, 149, 3, 64, 0};
  std::vector<std::uint8_t> dense = screen;
  dense.resize(late + (std::size_t{1} << 20));
  std::copy(std::begin(records), std::end(records), dense.begin() + static_cast<std::ptrdiff_t>(late));
  std::string sparse = put("sparse.ss4", screen);
  fs::resize_file(sparse, dense.size());
  {
    std::fstream out(sparse, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(late));
    out.write(reinterpret_cast<const char*>(records), sizeof records);
  }
  Outcome r = ss4topng({sparse, put("dense.ss4", dense)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_whole_file(temp_path("sparse.png")), read_whole_file(temp_path("dense.png")));
}

}  // namespace
