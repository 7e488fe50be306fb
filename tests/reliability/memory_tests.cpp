// Memory is bounded by what the picture can use, never by the file's size.
#include "reliability_fixture.h"

#include <filesystem>

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
  EXPECT_EQ(refused.err, huge + ": Bad size or file not exists\n");
}

}  // namespace
