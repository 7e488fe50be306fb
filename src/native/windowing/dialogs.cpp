// The open and save dialogs and the message box: the core's side of each
// call around the backend that shows the box.
#include "native/windowing/dialogs.h"

#include "native/system/process.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace native {
namespace {

std::uint32_t last_dialog_error = 0;

// A zero-terminated text read within `limit` characters; null is empty.
std::u16string text_of(const char16_t* text, std::size_t limit = SIZE_MAX) {
  if (!text) return {};
  std::size_t length = 0;
  while (length < limit && text[length]) ++length;
  return {text, length};
}

// While a box is up its owner takes no input; when the box closes the owner
// gets input back and, if it still has none, the focus it had.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(Window* owner) : owner_(get_ancestor_root(owner)), focus_(get_focus()) {
    if (!(focus_ && (focus_ == owner_ || is_child(owner_, focus_)))) focus_ = nullptr;
    disabled_here_ = owner_ && !enable_window(owner_, false);
  }
  ~OwnerDisabled() {
    if (!disabled_here_ || !is_window(owner_)) return;
    enable_window(owner_, true);
    if (focus_ && is_window(focus_) && !get_focus() && get_active_window() == owner_) set_focus(focus_);
  }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;

 private:
  Window* owner_;
  Window* focus_;
  bool disabled_here_ = false;
};

// Puts the current directory back if the dialog moved it.
class DirectoryKept {
 public:
  explicit DirectoryKept(bool keep) {
    if (keep) saved_ = current();
  }
  ~DirectoryKept() {
    if (!saved_.empty() && current() != saved_) set_current_directory(saved_);
  }
  DirectoryKept(const DirectoryKept&) = delete;
  DirectoryKept& operator=(const DirectoryKept&) = delete;

 private:
  static std::u16string current() {
    std::u16string text(get_current_directory(0, nullptr), u'\0');
    if (text.empty()) return {};
    std::uint32_t length = get_current_directory(static_cast<std::uint32_t>(text.size()), text.data());
    text.resize(length < text.size() ? length : 0);
    return text;
  }
  std::u16string saved_;
};

bool file_dialog(OpenFileName& d, bool save) {
  last_dialog_error = 0;
  if (!d.file || d.max_file == 0) {
    last_dialog_error = CDERR_INITIALIZATION;
    return false;
  }
  FileDialogRequest request;
  request.owner = get_ancestor_root(d.owner);  // null for a stale handle
  request.save = save;
  request.title = text_of(d.title);
  request.folder = text_of(d.initial_dir);
  request.file = text_of(d.file, d.max_file);
  request.filters = split_filter_list(d.filter);
  request.filter_index = d.filter_index;
  request.flags = d.flags;
  request.max_path = d.max_file - 1;

  FileDialogAnswer answer;
  answer.filter_index = d.filter_index;
  bool chosen;
  {
    DirectoryKept directory(d.flags & OFN_NOCHANGEDIR);
    OwnerDisabled modal(request.owner);
    chosen = detail::windowing().backend.file_dialog(request, answer);
  }
  if (!chosen) return false;
  // A shortened path would name another file: refuse it as the native
  // dialog does.
  if (answer.path.size() >= d.max_file) {
    last_dialog_error = FNERR_BUFFERTOOSMALL;
    return false;
  }
  std::copy(answer.path.begin(), answer.path.end(), d.file);
  d.file[answer.path.size()] = u'\0';
  d.filter_index = answer.filter_index;
  return true;
}

}  // namespace

bool get_open_file_name(OpenFileName& description) { return file_dialog(description, false); }
bool get_save_file_name(OpenFileName& description) { return file_dialog(description, true); }
std::uint32_t comm_dlg_extended_error() { return last_dialog_error; }

std::vector<FileFilter> split_filter_list(const char16_t* filter) {
  std::vector<FileFilter> pairs;
  if (!filter) return pairs;
  while (*filter) {
    std::u16string description(filter);
    filter += description.size() + 1;
    if (!*filter) break;
    std::u16string pattern(filter);
    filter += pattern.size() + 1;
    pairs.push_back({std::move(description), std::move(pattern)});
  }
  return pairs;
}

int message_box(Window* owner, std::u16string_view text, std::u16string_view title, std::uint32_t flags) {
  MessageBoxRequest request{get_ancestor_root(owner), std::u16string(text), std::u16string(title), flags};
  OwnerDisabled modal(request.owner);
  return detail::windowing().backend.message_box(request);
}

int default_button(std::uint32_t flags) {
  static constexpr std::array<std::array<int, 3>, 7> buttons{{
      {IDOK, 0, 0},
      {IDOK, IDCANCEL, 0},
      {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL},
      {IDYES, IDNO, 0},
      {IDRETRY, IDCANCEL, 0},
      {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
  }};
  std::uint32_t type = flags & MB_TYPEMASK;
  if (type >= buttons.size()) return IDOK;
  std::uint32_t index = (flags & MB_DEFMASK) >> 8;
  int chosen = index < 3 ? buttons[type][index] : 0;
  return chosen ? chosen : buttons[type][0];
}

}  // namespace native
