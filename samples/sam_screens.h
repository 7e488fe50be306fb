#pragma once
// Screens of every mode made to order, for tests, fuzz seeds and benchmarks:
// a picture of dithered-looking noise from a seed, in any mode, with or
// without flashing colours, flashing attributes, line records and the
// 9-byte SCREEN$ header, laid out as SAM BASIC saves a screen.
#include <cstdint>
#include <string>
#include <vector>

struct ScreenRecipe {
  std::string name;  // unique in a corpus; safe as a file name ("mode1-flash-header")
  int mode = 4;      // 1-4
  std::uint32_t seed = 1;
  // Some shown entries' alternate colours differ (mode 3's unshown entries
  // 4-15 differ in any case, which must not count as flashing).
  bool palette_flash = false;
  // Modes 1-2: some cells have the flash bit (else only cells whose ink and
  // paper are the same have it, which must not count as flashing).
  bool attribute_flash = false;
  bool header = false;  // the 9-byte header in front, agreeing with the length
  int records = 0;      // line records, 0-127; their alternate colours differ when palette_flash
};

// The 9-byte SCREEN$ header saying `length` bytes of a `mode` screen follow.
std::vector<std::uint8_t> screen_file_header(std::int64_t length, int mode);

// The file's bytes: [header] display, palette table, records, end mark.
std::vector<std::uint8_t> sam_screen_file(const ScreenRecipe& recipe);

// Every mode, flashing or not (palette, and attributes in modes 1-2), with
// and without a header, with and without records.
std::vector<ScreenRecipe> sam_screen_corpus();
