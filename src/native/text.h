#pragma once
// Texts are UTF-16 inside the runtime; the operating system takes UTF-8.
#include <string>
#include <string_view>

namespace native {

std::string to_utf8(std::u16string_view text);
std::u16string from_utf8(std::string_view text);

}  // namespace native
