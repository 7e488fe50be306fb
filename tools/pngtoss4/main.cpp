// pngtoss4: turns PNG pictures into SAM screen mode 4 files, fitted into
// 256 x 192, in the colours and line changes that show them best. Exit
// status 0 when all were encoded, 1 when any failed, 2 for a usage error,
// 128 + the signal's number when interrupted.
#include "encode_options.h"
#include "interruption.h"
#include "jobs.h"
#include "output_names.h"
#include "png_picture.h"

#include "encoder/screen_encoder.h"
#include "native/system/file.h"
#include "native/system/text.h"
#include "runtime/print_text.h"

#include <cstdio>
#include <cstring>
#include <span>

namespace {

int usage_error(const std::string& what) {
  std::fprintf(stderr, "pngtoss4: %s\n%s\n", what.c_str(), encode_usage_line());
  return 2;
}

std::string read_failure(const PictureRead& read) {
  switch (read.status) {
    case PictureReadStatus::not_png: return "not a PNG image (" + read.detail + ")";
    case PictureReadStatus::too_large: return "too large to encode (" + read.detail + ")";
    default: return "cannot read: " + std::string(std::strerror(read.error ? read.error : EIO));
  }
}

// The whole file, or nothing: the target is replaced only once all of it is
// written.
bool write_screen(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  native::File* file = native::file_create_output(native::from_utf8(name));
  if (!file) return false;
  std::uint32_t done = 0;
  if (!native::file_write(file, bytes.data(), static_cast<std::uint32_t>(bytes.size()), done) || done != bytes.size()) {
    int error = native::last_file_error();
    native::file_close(file);
    native::set_last_file_error(error);
    return false;
  }
  return native::file_commit(file);
}

// Empty on success, else the one line saying what failed.
std::string encode_one(const Conversion& c, const EncodeCommand& command) {
  if (!c.refusal.empty()) return c.refusal;
  PictureRead read = read_png_picture(c.input);
  if (read.status != PictureReadStatus::read) return c.input + ": " + read_failure(read);
  if (read.picture.width < 1 || read.picture.height < 1) return c.input + ": not a PNG image (no pixels)";
  EncodedScreen screen = encode_screen(fit_to_screen(read.picture, command.crop), command.encoder);
  native::set_last_file_error(0);
  if (!write_screen(c.output, screen.file)) {
    int error = native::last_file_error();
    return c.input + ": cannot write " + c.output + (error ? ": " + std::string(std::strerror(error)) : "");
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  ParsedEncodeCommand parsed =
      parse_encode_command(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  const EncodeCommand& command = parsed.command;
  if (command.action == EncodeAction::help) return print_text("pngtoss4", encode_help_text());
  if (command.action == EncodeAction::version) return print_text("pngtoss4", encode_version_text());
  if (!parsed.error.empty()) return usage_error(parsed.error);

  ConversionPlan plan = plan_conversions(command.images, command.output, ".ss4");
  if (!plan.error.empty()) return usage_error(plan.error);

  install_interruption_handlers(native::remove_pending_outputs);
  std::size_t failed = 0;
  for (const Conversion& c : plan.conversions) {
    std::string failure = encode_one(c, command);
    if (failure.empty()) continue;
    report_line(failure);
    ++failed;
  }
  return failed == 0 ? 0 : 1;
}
