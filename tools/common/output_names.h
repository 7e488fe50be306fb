#pragma once
// Which output file each input becomes, for the command-line converters.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Conversion {
  std::string input;
  std::string output;
  // Set when the output must not be written (it is the input itself, an
  // earlier input's output, or a file that a made-up name would replace):
  // the conversion fails with this one-line message.
  std::string refusal;
  // Whether writing the output may replace a file of that name: only when
  // the user named it with -o, or said --force.
  bool may_replace = false;
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
// A name made here (beside the input, or in the -o folder) never replaces a
// file unless `force`.
ConversionPlan plan_conversions(const std::vector<std::string>& inputs, const std::optional<std::string>& output,
                                std::string_view extension, bool force = false);

// Sets the refusal of each conversion whose output is its input, a file
// that a made-up name would replace, or an earlier conversion's output.
// Conversions that already have a refusal are looked at again.
void refuse_clashes(std::vector<Conversion>& conversions);

// The line for an output that would have replaced a file under a made-up name.
std::string exists_refusal(const Conversion& c);
