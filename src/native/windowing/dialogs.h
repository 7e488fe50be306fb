#pragma once
// The open and save dialogs and the message box. The calls block until the
// box is closed; what the box shows and answers comes from the backend,
// which gets one request with everything a real dialog needs. While a box
// is up its owner is disabled, as under any modal box.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace native {

struct Window;

// Dialog flags.
constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
constexpr std::uint32_t OFN_NOCHANGEDIR = 0x8;
constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x800;
constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;
constexpr std::uint32_t OFN_EXPLORER = 0x80000;

// Why the last dialog call answered false (0: cancelled by the user).
constexpr std::uint32_t CDERR_INITIALIZATION = 0x0002;
constexpr std::uint32_t FNERR_BUFFERTOOSMALL = 0x3003;

// The dialog description the open and save calls take.
struct OpenFileName {
  Window* owner = nullptr;
  // Pairs of zero-terminated description and pattern ("*.ss4", several
  // joined by ";"), ended by an empty string. Null: no filters.
  const char16_t* filter = nullptr;
  // The pair to select, from 1; the call writes back the pair in use.
  std::uint32_t filter_index = 0;
  // In: the file-box text, zero-terminated. Out: the chosen full path.
  char16_t* file = nullptr;
  std::uint32_t max_file = 0;             // characters `file` has room for
  const char16_t* initial_dir = nullptr;  // null or empty: the dialog's choice
  const char16_t* title = nullptr;        // null: the dialog's own title
  std::uint32_t flags = 0;
};

struct FileFilter {
  std::u16string description;
  std::u16string pattern;
  bool operator==(const FileFilter&) const = default;
};

// What a backend gets to show a file dialog.
struct FileDialogRequest {
  Window* owner = nullptr;
  bool save = false;
  std::u16string title;
  std::u16string folder;
  std::u16string file;  // file-box text
  std::vector<FileFilter> filters;
  std::uint32_t filter_index = 0;  // from 1 as given; may lie outside `filters`
  std::uint32_t flags = 0;
  std::uint32_t max_path = 0;  // longest answer that fits, in characters
};

struct FileDialogAnswer {
  std::u16string path;
  std::uint32_t filter_index = 0;  // the pair in use when the dialog closed
};

// Fills `file` with the chosen path. False when the user cancelled or the
// call failed (comm_dlg_extended_error tells which); a path that does not
// fit in `file` is a failure, never a shortened name. With OFN_NOCHANGEDIR
// the current directory is the same afterwards whatever the dialog did.
bool get_open_file_name(OpenFileName& description);
bool get_save_file_name(OpenFileName& description);
std::uint32_t comm_dlg_extended_error();

// The pairs of a zero-separated filter list, up to its empty string; a
// description without a pattern ends the list.
std::vector<FileFilter> split_filter_list(const char16_t* filter);

// Message box styles (the button set is the low four bits) and answers.
constexpr std::uint32_t MB_OK = 0x0;
constexpr std::uint32_t MB_OKCANCEL = 0x1;
constexpr std::uint32_t MB_ABORTRETRYIGNORE = 0x2;
constexpr std::uint32_t MB_YESNOCANCEL = 0x3;
constexpr std::uint32_t MB_YESNO = 0x4;
constexpr std::uint32_t MB_RETRYCANCEL = 0x5;
constexpr std::uint32_t MB_CANCELTRYCONTINUE = 0x6;
constexpr std::uint32_t MB_TYPEMASK = 0xF;
constexpr std::uint32_t MB_ICONERROR = 0x10;
constexpr std::uint32_t MB_ICONQUESTION = 0x20;
constexpr std::uint32_t MB_ICONWARNING = 0x30;
constexpr std::uint32_t MB_ICONINFORMATION = 0x40;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

struct MessageBoxRequest {
  Window* owner = nullptr;
  std::u16string text;
  std::u16string title;
  std::uint32_t flags = 0;
};

constexpr std::uint32_t MB_DEFBUTTON2 = 0x100;
constexpr std::uint32_t MB_DEFBUTTON3 = 0x200;
constexpr std::uint32_t MB_DEFMASK = 0xF00;

// Answers the id of the button pressed.
int message_box(Window* owner, std::u16string_view text, std::u16string_view title, std::uint32_t flags);
// The button Enter presses in a box of these styles (the first one unless a
// MB_DEFBUTTON bit names another).
int default_button(std::uint32_t flags);

}  // namespace native
