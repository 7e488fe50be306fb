#include "options.h"

#include "whole_number.h"

#include <string_view>

namespace {

// Enough workers for any machine this runs on; more only costs processes.
constexpr int MAX_JOBS = 256;
// A directory's slots.
constexpr int MAX_SLOT = 80;

// The value of the option `name` in args[i]: glued on ("-s1", "--size=128")
// or else the next argument ("-s 1", "--size 128"), which is then used up.
// Null when the option is the last argument.
std::optional<std::string_view> option_value(std::span<const char* const> args, std::size_t& i, std::string_view name) {
  std::string_view arg = args[i];
  if (arg.size() > name.size()) return arg.substr(name.starts_with("--") ? name.size() + 1 : name.size());
  if (i + 1 < args.size()) return args[++i];
  return std::nullopt;
}

// The option's name: a long one up to its '=', else the first two
// characters ("-s" of "-s1").
std::string_view option_name(std::string_view arg) {
  return arg.starts_with("--") ? arg.substr(0, arg.find('=')) : arg.substr(0, 2);
}

}  // namespace

const char* usage_line() {
  return "usage: ss4topng [-s 1|2 | --size N] [--mode N] [--animate] [--rgb] [-o OUTPUT] [-f] [-j JOBS] "
         "[--list | --slot N | --name NAME | --first] FILE...";
}

std::string help_text() {
  return std::string(usage_line()) +
         "\n"
         "Converts SAM screens of every mode (1 to 4), and the screens on SAM disk\n"
         "images (MGT, SAD, EDSK), to PNG: the pixels the machine shows, in a small\n"
         "palette file.\n"
         "\n"
         "  -s 1|2       scale: 1 gives 256 x 192 pixels, 2 (the default) 512 x 384;\n"
         "               mode 3 (512 pixels a row, each row shown twice) gives\n"
         "               512 x 384 at both\n"
         "  --size N     at most N pixels on the longer side, for thumbnailers: the\n"
         "               largest of those pictures no wider than N, else the\n"
         "               smallest averaged down to N pixels wide, 4:3; cannot be\n"
         "               combined with -s\n"
         "  --mode N     read every FILE as a mode N screen (1 to 4), whatever its\n"
         "               header, extension or length say\n"
         "  --animate    write an animated GIF (NAME.gif) of the screen's flashing\n"
         "               colours, one whole cycle looping forever, instead of the\n"
         "               PNG; one still frame when nothing flashes\n"
         "  --rgb        write RGB rows, byte for byte the file the viewer saves,\n"
         "               instead of the palette file (same pixels, larger, slower)\n"
         "  -o OUTPUT    the output file for a single FILE, or an existing folder\n"
         "               for any number of them (default: beside each FILE, its\n"
         "               extension replaced by .png, or .gif with --animate)\n"
         "  -f, --force  replace a file that has the name of an output made\n"
         "               beside FILE or in the -o folder (never done otherwise)\n"
         "  -j JOBS      convert in JOBS processes at once (default 1)\n"
         "  --list       list the files on each disk image FILE, converting nothing\n"
         "  --slot N     convert the screen in directory slot N (1 to 80) of a disk\n"
         "  --name NAME  convert the screens on a disk whose name is NAME, byte for\n"
         "               byte (without the padding spaces)\n"
         "  --first      convert the first screen on a disk that converts (for\n"
         "               thumbnailers)\n"
         "  -h, --help   show this text\n"
         "  --version    show the version\n"
         "\n"
         "A file's mode comes from its 9-byte SCREEN$ header when the header\n"
         "agrees with the file's length, else from its extension (.ss1 to .ss4,\n"
         "any case), else from its length: 6953 to 7461 bytes mode 1, 14377 to\n"
         "14885 mode 2, 24617 or more mode 4. The PNG shows the main colours of\n"
         "a flashing screen. Files that are plainly something else (PNG, JPEG,\n"
         "ZIP...) are refused.\n"
         "A disk image is known by its content, whatever its name; each screen\n"
         "on it becomes DISK-NAME.png beside it or in the -o folder (-o names a\n"
         "file only for one chosen screen). Broken and compressed screens are\n"
         "skipped with a line each; ZX Spectrum screens convert as mode 1.\n"
         "Exit status: 0 when every file was converted, 1 when any failed,\n"
         "2 for a usage error.\n";
}

std::string version_text() { return "ss4topng (Tesselon) " SS4TOPNG_VERSION "\n"; }

ParsedOptions parse_options(std::span<const char* const> args) {
  ParsedOptions result;
  Options& o = result.options;
  bool options_ended = false;
  bool scale_given = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      o.files.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      o.action = Action::help;
      return result;
    }
    if (arg == "--version") {
      o.action = Action::version;
      return result;
    }
    if (arg == "--rgb") {
      o.rgb = true;
      continue;
    }
    if (arg == "--force" || arg == "-f") {
      o.force = true;
      continue;
    }
    if (arg == "--animate") {
      o.animate = true;
      continue;
    }
    if (arg == "--list") {
      o.action = Action::list;
      continue;
    }
    if (arg == "--first") {
      o.first = true;
      continue;
    }
    std::string_view name = option_name(arg);
    if (name != "--size" && name != "--mode" && name != "-s" && name != "-o" && name != "-j" && name != "--slot" &&
        name != "--name") {
      result.error = "unknown option " + std::string(arg);
      return result;
    }
    std::optional<std::string_view> value = option_value(args, i, name);
    if (!value) {
      result.error = "option " + std::string(name) + " needs a value";
      return result;
    }
    if (name == "--size") {
      std::optional<int> size = parse_whole_number(*value);
      if (!size || *size < 1) {
        result.error = "bad size " + std::string(*value) + " (a whole number of pixels, 1 or more)";
        return result;
      }
      o.size = *size;
    } else if (name == "--mode") {
      std::optional<int> mode = parse_whole_number(*value);
      if (!mode || *mode < 1 || *mode > 4) {
        result.error = "bad mode " + std::string(*value) + " (1 to 4)";
        return result;
      }
      o.mode = *mode;
    } else if (name == "--slot") {
      std::optional<int> slot = parse_whole_number(*value);
      if (!slot || *slot < 1 || *slot > MAX_SLOT) {
        result.error = "bad slot " + std::string(*value) + " (1 to " + std::to_string(MAX_SLOT) + ")";
        return result;
      }
      o.slot = *slot;
    } else if (name == "--name") {
      o.name = std::string(*value);
    } else if (name == "-o") {
      if (value->empty()) {
        result.error = "option -o needs a name";
        return result;
      }
      o.output = std::string(*value);
    } else if (name == "-s") {
      std::optional<int> scale = parse_whole_number(*value);
      if (!scale || (*scale != 1 && *scale != 2)) {
        result.error = "bad scale " + std::string(*value) + " (1 or 2)";
        return result;
      }
      o.scale = *scale;
      scale_given = true;
    } else {
      std::optional<int> jobs = parse_whole_number(*value);
      if (!jobs || *jobs < 1 || *jobs > MAX_JOBS) {
        result.error = "bad job count " + std::string(*value) + " (1 to " + std::to_string(MAX_JOBS) + ")";
        return result;
      }
      o.jobs = *jobs;
    }
  }
  if (scale_given && o.size) {
    result.error = "-s and --size cannot be combined";
    return result;
  }
  if (o.animate && o.rgb) {
    result.error = "--rgb and --animate cannot be combined";
    return result;
  }
  if ((o.slot != 0) + o.name.has_value() + o.first > 1) {
    result.error = "--slot, --name and --first cannot be combined";
    return result;
  }
  if (o.action == Action::list && (o.output || o.slot || o.name || o.first)) {
    result.error = "--list converts nothing: it cannot be combined with -o, --slot, --name or --first";
    return result;
  }
  if (o.files.empty()) result.error = "no files";
  return result;
}
