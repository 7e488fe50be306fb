#pragma once
// The command line of pngtoss4:
// pngtoss4 [-o OUTPUT] [-f] [--no-line-changes] [--dither none|ordered|diffusion]
//          [--max-changes N] [--crop] [-v] IMAGE...
#include "encoder/screen_encoder.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

enum class EncodeAction { encode, help, version };

struct EncodeCommand {
  EncodeAction action = EncodeAction::encode;
  EncoderOptions encoder;
  bool crop = false;     // fill the screen, cutting what overhangs
  bool verbose = false;  // a line on standard output for each screen written
  bool force = false;    // screens named beside the pictures or in a folder may replace files
  std::optional<std::string> output;
  std::vector<std::string> images;
};

struct ParsedEncodeCommand {
  EncodeCommand command;
  std::string error;  // empty unless the command line is unusable
};

// `args` are the arguments after the program name. Options may come before,
// between or after the images; "--" ends them. An option given twice with
// different values, and --no-line-changes with --max-changes, are errors.
ParsedEncodeCommand parse_encode_command(std::span<const char* const> args);

const char* encode_usage_line();
std::string encode_help_text();
std::string encode_version_text();
