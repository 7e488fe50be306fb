#pragma once
// Which mode a screen file is, and where its body (display, palette table,
// records) starts. In order: a 9-byte SCREEN$ header that agrees with the
// file's length; the name's extension (.ss1 to .ss4, any case); the length
// (6,953-7,461 bytes mode 1, 14,377-14,885 mode 2, 24,617 or more mode 4).
// A mode the user gives overrides all three.
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The most a screen file may be: its size is kept in 32 bits, as the viewer
// keeps it. Readers need never read beyond.
constexpr std::int64_t MOST_SCREEN_BYTES = std::numeric_limits<std::int32_t>::max();

struct ScreenKind {
  int mode = 4;                  // 1-4
  std::int64_t body_offset = 0;  // 0, or 9 after a header
  std::int64_t body_size = 0;
};

struct KindVerdict {
  std::optional<ScreenKind> kind;
  std::string why;  // when there is no kind: one line, without the file's name
};

// The mode a name's extension gives (the name's bytes as they are), 0 when
// none does.
int mode_of_name(std::string_view name);

// `head` is the file's first bytes (at least 9 when it has them), `size` its
// whole length; `named_mode` is mode_of_name's answer and `forced_mode` the
// user's, 0 when not given. A header that disagrees with the length is no
// header; when nothing else says the mode either, the file is refused
// rather than shown as noise.
KindVerdict screen_kind(std::span<const std::uint8_t> head, std::int64_t size, int named_mode, int forced_mode);
