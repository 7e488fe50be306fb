#pragma once
// Screen files made to order, and a runtime with window 0 and canvas 0 to
// render them into.
#include "ui_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

struct LineRecord {
  std::uint8_t line, entry, colour, unused;
};

// A screen file: the picture from `pixel(x, y)` (values 0-15), the look-up
// bytes, then the records and, unless `terminate` is false, a 191 byte.
std::vector<std::uint8_t> make_screen(std::uint8_t (*pixel)(int x, int y), const std::vector<std::uint8_t>& clut,
                                      const std::vector<LineRecord>& records, bool terminate = true);

// A colour as images store it, read back as 0x00RRGGBB.
std::uint32_t shown(std::uint32_t sam_index);

class ScreenTest : public UiTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  RuntimeServices services() const override;
  // Writes the bytes to a file in the test folder and loads it.
  std::u16string load(const std::vector<std::uint8_t>& bytes, const std::string& name = "screen.ss4");

 public:
  // A pixel of image 0 and of the canvas window, as 0x00RRGGBB.
  static std::uint32_t image_pixel(int x, int y);
  static std::uint32_t canvas_pixel(int x, int y);
};
