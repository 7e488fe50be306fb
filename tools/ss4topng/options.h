#pragma once
// The command line of ss4topng:
// ss4topng [-s 1|2 | --size N] [--mode N] [--animate] [--rgb] [-o OUTPUT] [-f] [-j JOBS]
//          [--list | --slot N | --name NAME | --first] FILE...
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class Action { convert, list, help, version };

struct Options {
  Action action = Action::convert;
  int scale = 2;
  // A limit on the PNG's longer side, for thumbnails; it picks the scale
  // itself, so it never comes with -s.
  std::optional<int> size;
  // The mode every file is read as (1-4), whatever its header, name or
  // length say; 0 when not given.
  int mode = 0;
  // An animated GIF of the flashing instead of the PNG.
  bool animate = false;
  // RGB rows as the viewer saves them, instead of the compact palette file.
  bool rgb = false;
  // Outputs named beside the screens or in a folder may replace files.
  bool force = false;
  int jobs = 1;
  // Which screens of a disk image are converted: the file in one slot
  // (1-80; 0 when not given), those whose name is these bytes, or the first
  // that converts; all of them when none is given.
  int slot = 0;
  std::optional<std::string> name;
  bool first = false;
  std::optional<std::string> output;
  std::vector<std::string> files;
};

struct ParsedOptions {
  Options options;
  std::string error;  // empty unless the command line is unusable
};

// `args` are the arguments after the program name. Options may come before,
// between or after the files; "--" ends them.
ParsedOptions parse_options(std::span<const char* const> args);

// The one-line usage, without a line feed.
const char* usage_line();
// The full --help text and the --version line, each ending in a line feed.
std::string help_text();
std::string version_text();
