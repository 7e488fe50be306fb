// Seeds for fuzz_screen_reader: every screen of the generated corpus (each
// mode, flashing or not, with and without a header and records), in that
// target's input form: a first byte choosing the mode a name gives, the
// mode a user forces and how many piece-size bytes follow, then those
// bytes, then the file. Without seeds of every mode the fuzzer would start
// from mode 4 screens and rarely reach the others' layouts.
//   screen_reader_seeds FOLDER
#include "sam_screens.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The target reads named_mode = byte / 8 % 5, forced_mode = byte / 40 % 5
// and byte % 8 + 1 piece-size bytes.
std::uint8_t control_byte(int named_mode, int forced_mode, int piece_sizes) {
  return static_cast<std::uint8_t>(forced_mode ? 40 * forced_mode + piece_sizes - 1 : 8 * named_mode + piece_sizes - 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: screen_reader_seeds FOLDER\n");
    return 2;
  }
  int status = 0;
  for (const ScreenRecipe& recipe : sam_screen_corpus()) {
    // Only a name tells a bare mode 3 screen from mode 4; some seeds say
    // the mode as a user would, the rest leave it to the bytes.
    const int named = recipe.mode == 3 && !recipe.header ? 3 : 0;
    const int forced = recipe.records == 40 ? recipe.mode : 0;
    // Pieces of 4,096 and 49 bytes, in turn (a size byte b gives (b + 1)²).
    std::vector<std::uint8_t> seed = {control_byte(named, forced, 2), 63, 6};
    const std::vector<std::uint8_t> file = sam_screen_file(recipe);
    seed.insert(seed.end(), file.begin(), file.end());

    const std::string name = std::string(argv[1]) + "/" + recipe.name;
    std::FILE* out = std::fopen(name.c_str(), "wb");
    bool ok = out && std::fwrite(seed.data(), 1, seed.size(), out) == seed.size();
    if (out) ok = std::fclose(out) == 0 && ok;
    if (!ok) {
      std::fprintf(stderr, "screen_reader_seeds: cannot write %s\n", name.c_str());
      status = 1;
    }
  }
  return status;
}
