#include "native/system/text.h"

#include <cstdint>

namespace native {
namespace {

constexpr char32_t ESCAPE_BASE = 0xDC00;
constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_escape(char32_t c) { return c >= ESCAPE_BASE + 0x80 && c <= ESCAPE_BASE + 0xFF; }

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The bytes of a well-formed sequence starting with `lead`: how many follow
// it and the range the first of them must lie in, which is what rules out
// over-long forms, surrogates and code points past U+10FFFF.
struct Sequence {
  int extra;
  unsigned char low;
  unsigned char high;
};

Sequence sequence_for(unsigned char lead) {
  if (lead < 0x80) return {0, 0, 0};
  if (lead < 0xC2) return {-1, 0, 0};  // a continuation byte, or an over-long lead
  if (lead < 0xE0) return {1, 0x80, 0xBF};
  if (lead == 0xE0) return {2, 0xA0, 0xBF};
  if (lead == 0xED) return {2, 0x80, 0x9F};
  if (lead < 0xF0) return {2, 0x80, 0xBF};
  if (lead == 0xF0) return {3, 0x90, 0xBF};
  if (lead < 0xF4) return {3, 0x80, 0xBF};
  if (lead == 0xF4) return {3, 0x80, 0x8F};
  return {-1, 0, 0};
}

// The code point of the well-formed sequence at text[i], and its length;
// length 0 when the byte there starts none.
char32_t decode_at(std::string_view text, std::size_t i, std::size_t& length) {
  auto lead = static_cast<unsigned char>(text[i]);
  Sequence s = sequence_for(lead);
  length = 0;
  if (s.extra == 0) {
    length = 1;
    return lead;
  }
  if (s.extra < 0 || i + static_cast<std::size_t>(s.extra) >= text.size()) return 0;
  char32_t c = lead & (0x3F >> s.extra);
  for (int k = 1; k <= s.extra; ++k) {
    auto b = static_cast<unsigned char>(text[i + k]);
    bool in_range = k == 1 ? (b >= s.low && b <= s.high) : (b & 0xC0) == 0x80;
    if (!in_range) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  length = static_cast<std::size_t>(s.extra) + 1;
  return c;
}

template <typename Escaped>
std::string encode(std::u16string_view text, Escaped escaped) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      append_utf8(out, 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (is_escape(c)) {
      escaped(out, static_cast<char>(c - ESCAPE_BASE));
    } else {
      append_utf8(out, c >= 0xD800 && c < 0xE000 ? REPLACEMENT : c);
    }
  }
  return out;
}

}  // namespace

std::string to_utf8(std::u16string_view text) {
  return encode(text, [](std::string& out, char byte) { out += byte; });
}

std::string to_display_utf8(std::u16string_view text) {
  return encode(text, [](std::string& out, char) { append_utf8(out, REPLACEMENT); });
}

std::u16string from_utf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 0;
    char32_t c = decode_at(text, i, length);
    if (length == 0) {
      out += static_cast<char16_t>(ESCAPE_BASE + static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    i += length;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

}  // namespace native
