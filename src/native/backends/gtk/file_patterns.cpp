// Filter patterns: case-blind letters, and "*.*" for every file.
#include "native/backends/gtk/file_patterns.h"

#include <algorithm>
#include <cctype>

namespace native::gtk {

std::string case_blind_pattern(std::string_view pattern) {
  std::string out;
  bool in_class = false;
  for (char c : pattern) {
    if (c == '[') in_class = true;
    if (c == ']') in_class = false;
    unsigned char u = static_cast<unsigned char>(c);
    if (!in_class && std::isalpha(u)) {
      out += '[';
      out += static_cast<char>(std::tolower(u));
      out += static_cast<char>(std::toupper(u));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::string> chooser_patterns(std::string_view patterns) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = std::min(patterns.find(';', start), patterns.size());
    std::string_view one = patterns.substr(start, end - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    if (one == "*.*") {
      out.emplace_back("*");
    } else if (!one.empty()) {
      out.push_back(case_blind_pattern(one));
    }
    start = end + 1;
  }
  return out;
}

}  // namespace native::gtk
