#include "encode_options.h"

#include "whole_number.h"

#include <string_view>

namespace {

std::optional<Dither> parse_dither(std::string_view text) {
  if (text == "none") return Dither::none;
  if (text == "ordered") return Dither::ordered;
  if (text == "diffusion") return Dither::diffusion;
  return std::nullopt;
}

}  // namespace

const char* encode_usage_line() {
  return "usage: pngtoss4 [-o OUTPUT] [-f] [--no-line-changes] [--dither none|ordered|diffusion] "
         "[--max-changes N] [--crop] [-v] IMAGE...";
}

std::string encode_help_text() {
  return std::string(encode_usage_line()) +
         "\n"
         "Turns pictures into SAM screen mode 4 files (.ss4): 256 x 192 pixels in\n"
         "16 of the machine's 128 colours, with one look-up change a row where it\n"
         "lowers the visible error. It reads JPEG (turned as the camera recorded),\n"
         "PNG, GIF, TIFF, WebP, BMP and whatever else gdk-pixbuf's installed loaders\n"
         "read.\n"
         "\n"
         "  -o OUTPUT          the output file for a single IMAGE, or an existing\n"
         "                     folder for any number of them (default: beside each\n"
         "                     IMAGE, its extension replaced by .ss4)\n"
         "  -f, --force        replace a file that has the name of a screen made\n"
         "                     beside IMAGE or in the -o folder (never done otherwise)\n"
         "  --no-line-changes  the same 16 colours on every row\n"
         "  --dither MODE      none, ordered or diffusion (the default)\n"
         "  --max-changes N    at most N line changes (0 to 191; default 191)\n"
         "  --crop             fill the screen, cutting what overhangs, instead of\n"
         "                     fitting the whole picture on black\n"
         "  -v, --verbose      a line for each screen written: its name, the colours\n"
         "                     shown, the line changes, the mean error (CIELAB) and\n"
         "                     the error seen at viewing distance\n"
         "  -h, --help         show this text\n"
         "  --version          show the version\n"
         "\n"
         "Exit status: 0 when every picture was encoded, 1 when any failed,\n"
         "2 for a usage error.\n";
}

std::string encode_version_text() { return "pngtoss4 (Tesselon) " PNGTOSS4_VERSION "\n"; }

ParsedEncodeCommand parse_encode_command(std::span<const char* const> args) {
  ParsedEncodeCommand result;
  EncodeCommand& c = result.command;
  bool options_ended = false;
  // An option may come again only with the same value: which one was meant
  // is not for the program to guess.
  std::optional<Dither> dither_given;
  std::optional<int> changes_given;
  auto again = [&](std::string_view name) {
    result.error = "option " + std::string(name) + " given twice with different values";
    return result;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      c.images.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      c.action = EncodeAction::help;
      return result;
    }
    if (arg == "--version") {
      c.action = EncodeAction::version;
      return result;
    }
    if (arg == "--no-line-changes") {
      c.encoder.line_changes = false;
      continue;
    }
    if (arg == "--crop") {
      c.crop = true;
      continue;
    }
    if (arg == "-v" || arg == "--verbose") {
      c.verbose = true;
      continue;
    }
    if (arg == "-f" || arg == "--force") {
      c.force = true;
      continue;
    }
    // Options with a value: glued on ("-oOUT", "--dither=none") or next.
    std::string_view name, value;
    for (std::string_view known : {"--dither", "--max-changes", "-o"}) {
      if (arg == known) {
        if (i + 1 == args.size()) {
          result.error = "option " + std::string(known) + " needs a value";
          return result;
        }
        name = known;
        value = args[++i];
        break;
      }
      const bool long_option = known.starts_with("--");
      if (arg.starts_with(known) && (!long_option || arg[known.size()] == '=')) {
        name = known;
        value = arg.substr(known.size() + (long_option ? 1 : 0));
        break;
      }
    }
    if (name.empty()) {
      result.error = "unknown option " + std::string(arg);
      return result;
    }
    if (name == "-o") {
      if (value.empty()) {
        result.error = "option -o needs a name";
        return result;
      }
      if (c.output && *c.output != value) return again(name);
      c.output = std::string(value);
    } else if (name == "--dither") {
      std::optional<Dither> dither = parse_dither(value);
      if (!dither) {
        result.error = "bad dither " + std::string(value) + " (none, ordered or diffusion)";
        return result;
      }
      if (dither_given && *dither_given != *dither) return again(name);
      dither_given = c.encoder.dither = *dither;
    } else {
      std::optional<int> changes = parse_whole_number(value);
      if (!changes || *changes < 0 || *changes > 191) {
        result.error = "bad change count " + std::string(value) + " (0 to 191)";
        return result;
      }
      if (changes_given && *changes_given != *changes) return again(name);
      changes_given = c.encoder.max_changes = *changes;
    }
  }
  if (!c.encoder.line_changes && changes_given)
    result.error = "--no-line-changes and --max-changes cannot go together";
  else if (c.images.empty())
    result.error = "no images";
  return result;
}
