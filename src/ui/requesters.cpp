#include "ui/requesters.h"

#include "ui/modal.h"

#include "native/system/process.h"
#include "native/windowing/dialogs.h"
#include "native/windowing/window.h"
#include "runtime/general_heap.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::uint32_t REQUESTER_FLAGS =
    native::OFN_EXPLORER | native::OFN_PATHMUSTEXIST | native::OFN_NOCHANGEDIR | native::OFN_HIDEREADONLY;
constexpr std::uint32_t REQUESTER_CONTROL_CLASSES = 0xB48;  // tab, hot-key, date, extended combo, address

// The chosen path lives from one requester to the next. The general heap it
// comes from may have been replaced since (a new run of the runtime), and
// then the old block went with the old heap.
char16_t* file_buffer = nullptr;
std::uint64_t file_buffer_heap = 0;

void release_file_buffer() {
  if (file_buffer && general_heap() && general_heap_generation() == file_buffer_heap) general_free(file_buffer);
  file_buffer = nullptr;
}

bool make_file_buffer() {
  release_file_buffer();
  file_buffer = static_cast<char16_t*>(general_alloc(REQUESTER_PATH_ROOM * sizeof(char16_t)));
  file_buffer_heap = general_heap_generation();
  return file_buffer != nullptr;
}

struct GeneralFree {
  void operator()(char16_t* block) const { general_free(block); }
};
using HeapText = std::unique_ptr<char16_t[], GeneralFree>;

// A zero-filled copy with `extra` more zero characters than the text needs.
HeapText heap_copy(std::u16string_view text, std::size_t extra) {
  HeapText copy(static_cast<char16_t*>(general_alloc((text.size() + extra) * sizeof(char16_t))));
  if (copy) std::copy(text.begin(), text.end(), copy.get());
  return copy;
}

void fill_file_buffer(std::u16string_view text) {
  std::size_t length = std::min(text.size(), REQUESTER_PATH_ROOM - 1);
  std::copy_n(text.begin(), length, file_buffer);
  file_buffer[length] = u'\0';
}

}  // namespace

bool is_valid_file_part(std::u16string_view text) {
  if (text.empty()) return false;
  return std::none_of(text.begin(), text.end(), [](char16_t c) {
    return c < 32 || std::u16string_view(u"\"*/:<>?\\|").find(c) != std::u16string_view::npos;
  });
}

std::u16string file_requester(std::u16string_view title, std::u16string_view default_file, std::u16string_view pattern,
                              int pattern_index, bool save) {
  if (!make_file_buffer()) return {};
  // Pairs as zero-terminated strings, then the empty string that ends them.
  HeapText filter = heap_copy(pattern, 3);
  if (!filter) return {};
  std::replace(filter.get(), filter.get() + pattern.size(), u'|', u'\0');

  HeapText folder;
  if (!default_file.empty()) {
    folder = heap_copy(default_file, 1);
    if (!folder) return {};
    std::size_t split = default_file.rfind(u'/');
    if (split != std::u16string_view::npos) {
      // A "/" in the first place is the root folder itself, kept whole.
      folder[split == 0 ? 1 : split] = u'\0';
      fill_file_buffer(default_file.substr(split + 1));
    } else {
      folder[0] = u'\0';
      fill_file_buffer(default_file);
    }
    if (!is_valid_file_part(file_buffer)) file_buffer[0] = u'\0';
  }

  std::u16string title_text(title);
  native::OpenFileName description;
  description.owner = requester_owner();
  description.filter = filter.get();
  // Unsigned, so that even the largest index cannot overflow.
  description.filter_index = static_cast<std::uint32_t>(pattern_index) + 1u;
  description.file = file_buffer;
  description.max_file = REQUESTER_PATH_ROOM;
  description.initial_dir = folder.get();
  description.title = title_text.c_str();
  description.flags = REQUESTER_FLAGS;

  enter_modal();
  bool chosen = save ? native::get_save_file_name(description) : native::get_open_file_name(description);
  leave_modal();
  return chosen ? std::u16string(file_buffer) : std::u16string();
}

std::u16string open_file_requester(std::u16string_view title, std::u16string_view default_file,
                                   std::u16string_view pattern, int pattern_index) {
  return file_requester(title, default_file, pattern, pattern_index, false);
}

std::u16string save_file_requester(std::u16string_view title, std::u16string_view default_file,
                                   std::u16string_view pattern, int pattern_index) {
  return file_requester(title, default_file, pattern, pattern_index, true);
}

std::u16string current_directory() {
  std::u16string directory(native::get_current_directory(0, nullptr), u'\0');
  if (directory.empty()) return {};
  std::uint32_t length = native::get_current_directory(static_cast<std::uint32_t>(directory.size()), directory.data());
  // It moved on to a longer one in between: no directory rather than a cut one.
  if (length == 0 || length >= directory.size()) return {};
  directory.resize(length);
  if (directory.back() != u'/') directory += u'/';
  return directory;
}

void init_requesters() {
  native::init_common_controls(REQUESTER_CONTROL_CLASSES);
  native::co_initialize();
}

std::int32_t message_box(std::u16string_view title, std::u16string_view text, std::uint32_t flags) {
  enter_modal();
  // Asked after the other windows were made modal: lifting a window out of
  // the always-on-top band may have brought it to the front.
  native::Window* owner = requester_owner();
  std::int32_t answer = native::message_box(owner, text, title, flags);
  leave_modal();
  return answer;
}
