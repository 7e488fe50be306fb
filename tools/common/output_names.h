#pragma once
// Which output file each input becomes, for the command-line converters.
#include <optional>
#include <string>
#include <string_view>
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
// `extension` (".png"), or `extension` appended when that component has
// none. A leading dot (".hidden") does not start an extension.
std::string renamed(const std::string& input, std::string_view extension);

// Outputs beside the inputs, or from -o (`output`): an existing folder takes
// any number of inputs; anything else is a file name and takes exactly one.
ConversionPlan plan_conversions(const std::vector<std::string>& inputs, const std::optional<std::string>& output,
                                std::string_view extension);
