#pragma once
// Turning a picture into a SAM screen mode 4 file that the viewer shows at
// its best: 16 of the machine's 128 colours (in CIELAB), at most one
// look-up change a row (the only one a row can have), chosen for the least
// error seen at viewing distance, and dithering. What the encoder scores is
// exactly what the viewer shows for the file it writes.
#include <cstdint>
#include <vector>

// An RGB picture: red, green, blue a pixel, top row first.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

enum class Dither { none, ordered, diffusion };

struct EncoderOptions {
  bool line_changes = true;
  Dither dither = Dither::diffusion;
  // At most this many line-change records (one a row at most, so 191 is no
  // bound at all).
  int max_changes = 191;
};

struct EncodedScreen {
  std::vector<std::uint8_t> file;  // the .ss4 file's bytes
  RgbPicture shown;                // 256 x 192: what the viewer shows for `file` at single size
  int colours_used = 0;            // distinct palette colours shown
  int changes = 0;                 // line-change records written
  double mean_error = 0;           // mean CIELAB ΔE of `shown` against the picture encoded
  double seen_error = 0;           // the same, both blurred as the eye does at viewing distance
};

// Any picture fitted into 256 x 192: scaled to fit with its shape kept and
// centred on black, or with `crop` scaled to fill and centred, the rest cut.
RgbPicture fit_to_screen(const RgbPicture& picture, bool crop);

// Encodes a 256 x 192 picture.
EncodedScreen encode_screen(const RgbPicture& picture, const EncoderOptions& options);
