#include "output_names.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool is_folder(const std::string& name) {
  std::error_code ignored;
  return fs::is_directory(name, ignored);
}

std::string file_part(const std::string& name) {
  std::size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// Two spellings of one file (./a.png, a.png, a symbolic link, a hard link)
// compare equal: a file that exists is known by its device and inode, a name
// with nothing under it yet by its resolved path.
std::string identity(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0) return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
  std::error_code error;
  fs::path path = fs::weakly_canonical(fs::absolute(name, error), error);
  return error ? name : path.lexically_normal().string();
}

std::string cannot_write(const Conversion& c, const std::string& why) {
  return c.input + ": cannot write " + c.output + " (" + why + ")";
}

bool name_taken(const std::string& name) {
  struct stat st {};
  return ::lstat(name.c_str(), &st) == 0;
}

}  // namespace

std::string renamed(const std::string& input, std::string_view extension) {
  std::size_t start = input.find_last_of('/');
  start = start == std::string::npos ? 0 : start + 1;
  std::size_t dot = input.find_last_of('.');
  bool has_extension = dot != std::string::npos && dot > start;
  std::string name = has_extension ? input.substr(0, dot) : input;
  name += extension;
  return name;
}

// Writing over the input, or twice to one file, would lose a picture; so
// would a made-up name over a file that is there.
void refuse_clashes(std::vector<Conversion>& conversions) {
  std::map<std::string, const Conversion*> claimed;
  for (Conversion& c : conversions) {
    c.refusal.clear();
    std::string out = identity(c.output);
    if (out == identity(c.input)) {
      c.refusal = cannot_write(c, "it is the input");
      continue;
    }
    if (!c.may_replace && name_taken(c.output)) {
      c.refusal = exists_refusal(c);
      continue;
    }
    auto [earlier, fresh] = claimed.emplace(out, &c);
    if (!fresh) c.refusal = cannot_write(c, "also the output of " + earlier->second->input);
  }
}

std::string exists_refusal(const Conversion& c) {
  return c.input + ": " + c.output + " exists; -o names it, --force replaces it";
}

ConversionPlan plan_conversions(const std::vector<std::string>& inputs, const std::optional<std::string>& output,
                                std::string_view extension, bool force) {
  ConversionPlan plan;
  const std::optional<std::string>& out = output;
  bool into_folder = out && is_folder(*out);
  if (out && !into_folder) {
    if (out->ends_with('/') || inputs.size() > 1) {
      std::error_code ignored;
      plan.error = *out + (fs::exists(*out, ignored) ? ": not a folder" : ": no such folder");
      return plan;
    }
  }
  for (const std::string& input : inputs) {
    Conversion c{input, {}, {}, force};
    if (!out) {
      c.output = renamed(input, extension);
    } else if (into_folder) {
      c.output = (out->ends_with('/') ? *out : *out + "/") + renamed(file_part(input), extension);
    } else {
      c.output = *out;
      c.may_replace = true;
    }
    plan.conversions.push_back(std::move(c));
  }
  refuse_clashes(plan.conversions);
  return plan;
}
