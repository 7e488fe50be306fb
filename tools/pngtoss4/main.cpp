// pngtoss4: turns pictures (JPEG, PNG, GIF, TIFF, WebP and whatever else
// gdk-pixbuf reads) into SAM screen mode 4 files, fitted into 256 x 192, in
// the colours and line changes that show them best. Exit status 0 when all
// were encoded, 1 when any failed, 2 for a usage error, 128 + the signal's
// number when interrupted.
#include "encode_options.h"
#include "interruption.h"
#include "jobs.h"
#include "output_names.h"
#include "picture_reader.h"

#include "encoder/fit_to_screen.h"
#include "encoder/screen_encoder.h"
#include "native/system/file.h"
#include "native/system/text.h"
#include "runtime/print_text.h"
#include "sam/screen_decoder.h"

#include <glib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

namespace {

int usage_error(const std::string& what) {
  std::fprintf(stderr, "pngtoss4: %s\n%s\n", what.c_str(), encode_usage_line());
  return 2;
}

// What went wrong, after the picture's name: ss4topng's words wherever the
// fault is the same.
std::string read_failure(const PictureRead& read) {
  switch (read.status) {
    case PictureReadStatus::missing: return native::to_utf8(BAD_SIZE_TEXT);
    case PictureReadStatus::folder: return "is a folder";
    case PictureReadStatus::out_of_memory: return "cannot read: " + std::string(std::strerror(ENOMEM));
    case PictureReadStatus::not_picture: return "not a picture (" + read.detail + ")";
    case PictureReadStatus::cut_short: return "cut short";
    case PictureReadStatus::too_large: return "too large to encode (" + read.detail + ")";
    default: return "cannot read: " + std::string(std::strerror(read.error ? read.error : EIO));
  }
}

// The whole file, or nothing: the target is replaced only once all of it is
// written.
bool write_screen(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  native::File* file = native::file_create_output_named(name);
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
  PictureRead read = read_picture(c.input, command.crop);
  if (read.status != PictureReadStatus::read) return c.input + ": " + read_failure(read);
  const RgbPicture fitted = fit_to_screen(read.view, command.crop);
  read = {};  // the picture's memory goes back before the encoder takes its own
  EncodedScreen screen = encode_screen(fitted, command.encoder);
  native::set_last_file_error(0);
  native::set_outputs_replace_existing(c.may_replace);
  if (!write_screen(c.output, screen.file)) {
    int error = native::last_file_error();
    if (error == EEXIST && !c.may_replace) return exists_refusal(c);
    return c.input + ": cannot write " + c.output + (error ? ": " + native::file_error_text(error) : "");
  }
  if (command.verbose)
    std::printf("%s: %d colours, %d line changes, mean error %.2f (seen %.2f)\n", c.output.c_str(), screen.colours_used,
                screen.changes, screen.mean_error, screen.seen_error);
  return {};
}

// Loaders' own warnings would break the rule of one line per failed
// picture; what they report as errors reaches that line.
void drop_log_message(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
GLogWriterOutput drop_structured_log(GLogLevelFlags, const GLogField*, gsize, gpointer) { return G_LOG_WRITER_HANDLED; }

}  // namespace

int main(int argc, char** argv) {
  ParsedEncodeCommand parsed =
      parse_encode_command(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  const EncodeCommand& command = parsed.command;
  if (command.action == EncodeAction::help) return print_text("pngtoss4", encode_help_text());
  if (command.action == EncodeAction::version) return print_text("pngtoss4", encode_version_text());
  if (!parsed.error.empty()) return usage_error(parsed.error);

  ConversionPlan plan = plan_conversions(command.images, command.output, ".ss4", command.force);
  if (!plan.error.empty()) return usage_error(plan.error);

  g_log_set_default_handler(drop_log_message, nullptr);
  g_log_set_writer_func(drop_structured_log, nullptr, nullptr);
  install_interruption_handlers(native::remove_pending_outputs);
  std::size_t failed = 0;
  for (const Conversion& c : plan.conversions) {
    std::string failure = encode_one(c, command);
    if (failure.empty()) continue;
    report_line(failure);
    ++failed;
  }
  // Lines asked for and lost (a full disk, a closed pipe) are a failure too.
  if (command.verbose && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
    report_line("pngtoss4: cannot write standard output: " + std::string(std::strerror(errno ? errno : EIO)));
    return 1;
  }
  return failed == 0 ? 0 : 1;
}
