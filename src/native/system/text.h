#pragma once
// Texts are UTF-16 inside the runtime; the operating system takes bytes.
// Names on Linux are any bytes but '/' and NUL, so the conversion is
// lossless both ways: well-formed UTF-8 decodes as usual, and every byte that
// is not part of a well-formed sequence (over-long forms, encoded
// surrogates, code points past U+10FFFF, stray or cut-short bytes) becomes
// its own escape, U+DC00 + byte, which turns back into that byte. No name
// ever decodes into a different name.
#include <string>
#include <string_view>

namespace native {

// Bytes for the operating system: escapes give back their bytes; any other
// lone surrogate (never made by from_utf8) becomes U+FFFD.
std::string to_utf8(std::u16string_view text);
std::u16string from_utf8(std::string_view text);

// Well-formed UTF-8 for showing to a person (toolkit labels, titles): an
// escaped byte shows as U+FFFD, as file managers show such names.
std::string to_display_utf8(std::u16string_view text);

}  // namespace native
