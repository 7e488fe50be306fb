// A large JPEG is decoded at one of libjpeg's own reduced sizes, the
// smallest that still holds what the screen shows of it, and gdk-pixbuf adds
// no scaling of its own: the pixels are exactly libjpeg's at that reduction.
#include "camera_jpeg.h"
#include "picture_reader.h"
#include "runtime_fixture.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <cstdio>

namespace {

// libjpeg's own decoding at 1/reduction, RGB rows top first.
std::vector<std::uint8_t> libjpeg_decode(const std::vector<std::uint8_t>& jpeg, int reduction, int& width,
                                         int& height) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(reduction);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = rgb.data() + static_cast<std::size_t>(info.output_scanline) * static_cast<std::size_t>(width) * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return rgb;
}

using PictureReaderTest = RuntimeTest;

TEST_F(PictureReaderTest, LargeJpegsAreDecodedAtLibjpegsReducedSizes) {
  struct Case {
    int width, height;
    bool crop;
    int reduction;
  };
  const Case cases[] = {
      {300, 200, false, 1},    // already near the screen's size
      {1000, 750, true, 2},    // cropped, it may be seen standing: 750 across must stay 256 or more
      {1600, 1200, false, 4},  // fitted, 1/8 would leave 200 x 150
      {2050, 1537, false, 8},  // 257 x 193 at 1/8, rounded up as libjpeg does
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + (c.crop ? " cropped" : " fitted"));
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        rgb.insert(rgb.end(), {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 3),
                               static_cast<std::uint8_t>((x ^ y) & 0xFF)});
    const std::vector<std::uint8_t> jpeg = camera_jpeg(rgb, c.width, c.height, 0);
    const std::string path = temp_path("photo.jpg");
    write_whole_file(path, jpeg);

    EXPECT_EQ(jpeg_reduction(c.width, c.height, c.crop), c.reduction);
    const PictureRead read = read_picture(path, c.crop);
    ASSERT_EQ(read.status, PictureReadStatus::read) << read.detail;
    int width = 0, height = 0;
    const std::vector<std::uint8_t> expected = libjpeg_decode(jpeg, c.reduction, width, height);
    ASSERT_EQ(read.view.width, width);
    ASSERT_EQ(read.view.height, height);
    ASSERT_EQ(read.view.channels, 3);
    std::vector<std::uint8_t> got;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = read.view.pixels + static_cast<std::ptrdiff_t>(y) * read.view.rowstride;
      got.insert(got.end(), row, row + static_cast<std::ptrdiff_t>(width) * 3);
    }
    EXPECT_TRUE(got == expected);
  }
}

}  // namespace
