#pragma once
// Which PNG each input becomes.
#include "options.h"

#include <string>
#include <vector>

struct Conversion {
  std::string input;
  std::string output;
  // Set when the output must not be written (it is the input itself, or an
  // earlier input's output): the conversion fails with this one-line message.
  std::string refusal;
};

struct ConversionPlan {
  std::vector<Conversion> conversions;
  std::string error;  // a usage error: nothing is converted
};

// The input's name with the extension of its last component replaced by
// ".png", or ".png" appended when that component has none. A leading dot
// (".hidden") does not start an extension.
std::string png_name(const std::string& input);

// Outputs beside the inputs, or from -o: an existing folder takes any number
// of inputs; anything else is a file name and takes exactly one.
ConversionPlan plan_conversions(const Options& options);
