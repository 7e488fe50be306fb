#include "app/command_line.h"

#include "native/system/text.h"
#include "runtime/object_table.h"

#include <vector>

namespace {

struct ProcessState {
  int cursor;
};

ProcessState* process = nullptr;
ProcessState unstarted{};  // the cursor before the process services start
std::u16string text;

std::vector<std::u16string> tokens;

ProcessState& state() { return process ? *process : unstarted; }

std::vector<std::u16string> split(std::u16string_view line) {
  std::vector<std::u16string> tokens;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && line[i] == u' ') ++i;
    if (i >= line.size()) break;
    if (line[i] == u'"') {
      std::size_t close = line.find(u'"', i + 1);
      if (close == std::u16string_view::npos) {
        tokens.emplace_back(line.substr(i + 1));
        break;
      }
      tokens.emplace_back(line.substr(i + 1, close - i - 1));
      i = close + 1;  // scanning goes on right after the quote
    } else {
      std::size_t end = line.find(u' ', i);
      if (end == std::u16string_view::npos) end = line.size();
      tokens.emplace_back(line.substr(i, end - i));
      i = end;
    }
  }
  return tokens;
}

}  // namespace

void init_process_services() {
  process = static_cast<ProcessState*>(allocate_state_block(sizeof(ProcessState), nullptr, nullptr));
}

std::vector<std::u16string> arguments_from_process(int argc, const char* const* argv) {
  std::vector<std::u16string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(native::from_utf8(argv[i] ? argv[i] : ""));
  return arguments;
}

void set_command_line(std::u16string_view line) {
  text = line;
  tokens = split(text);
  state().cursor = 0;
}

void set_command_line(const std::vector<std::u16string>& arguments) {
  text.clear();
  for (const std::u16string& argument : arguments) {
    if (!text.empty()) text += u' ';
    text += argument;
  }
  tokens = arguments;
  state().cursor = 0;
}

const std::u16string& command_line() { return text; }

int command_line_count() { return tokens.empty() ? -1 : static_cast<int>(tokens.size()) - 1; }

std::u16string command_line_argument(int index) {
  int& cursor = state().cursor;
  if (index < 0) index = cursor;
  cursor = index + 1;
  std::size_t at = static_cast<std::size_t>(index) + 1;
  return at < tokens.size() ? tokens[at] : std::u16string();
}
