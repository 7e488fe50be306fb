#include "sam/screen_kind.h"

#include "sam/file_header.h"
#include "sam/screen_modes.h"

namespace {

std::string text(std::int64_t n) { return std::to_string(n); }

int mode_of_length(std::int64_t size) {
  for (int mode = 1; mode <= 2; ++mode)
    if (size >= least_body(mode) && size <= most_written_body(mode)) return mode;
  return size >= least_body(4) ? 4 : 0;
}

KindVerdict body_of_mode(int mode, std::int64_t offset, std::int64_t size) {
  const std::int64_t body = size - offset;
  if (body < least_body(mode))
    return {std::nullopt, text(body) + " bytes is too short for a mode " + text(mode) + " screen (at least " +
                              text(least_body(mode)) + ")"};
  return {ScreenKind{mode, offset, body}, {}};
}

}  // namespace

int mode_of_name(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos) return 0;
  const std::string_view ext = name.substr(dot + 1);
  if (ext.size() != 3 || (ext[0] | 0x20) != 's' || (ext[1] | 0x20) != 's' || ext[2] < '1' || ext[2] > '4') return 0;
  return ext[2] - '0';
}

KindVerdict screen_kind(std::span<const std::uint8_t> head, std::int64_t size, int named_mode, int forced_mode) {
  if (size > MOST_SCREEN_BYTES)
    return {std::nullopt, "too large for a SAM screen: " + text(size) + " bytes, less than 2 GiB needed"};
  if (std::optional<FileHeader> header = screen_header(head)) {
    if (header->length == size - FILE_HEADER_BYTES)
      return body_of_mode(forced_mode ? forced_mode : header->mode, FILE_HEADER_BYTES, size);
    if (!named_mode && !forced_mode)
      return {std::nullopt, "its SCREEN$ header says " + text(header->length) + " bytes follow it, but " +
                                text(size - FILE_HEADER_BYTES) + " do"};
  }
  if (int mode = forced_mode ? forced_mode : named_mode) return body_of_mode(mode, 0, size);
  if (int mode = mode_of_length(size)) return body_of_mode(mode, 0, size);
  return {std::nullopt, text(size) + " bytes fits no SAM screen mode (mode 1: " + text(least_body(1)) + " to " +
                            text(most_written_body(1)) + " bytes, mode 2: " + text(least_body(2)) + " to " +
                            text(most_written_body(2)) + ", modes 3 and 4: " + text(least_body(4)) + " or more)"};
}
