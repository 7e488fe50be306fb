#pragma once
// Files that are plainly something else. A screen has no signature of its
// own, so any file of the right size would pass for one; these kinds are
// known by their first bytes, and a photo is never turned into a picture of
// noise under a name that may be the user's other picture.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// What the file that starts with `head` is ("a JPEG picture"), or nothing
// when it may be a screen. `size` is the whole file's.
std::optional<std::string_view> other_format(std::span<const std::uint8_t> head, std::uint64_t size);
