// File choosers and message dialogs.
#include "native/backends/gtk/dialogs.h"

#include "native/backends/gtk/gtk_state.h"
#include "native/backends/gtk/input.h"
#include "native/text.h"

#include <cctype>
#include <vector>

namespace native::gtk {
namespace {

GtkWindow* parent_for(Window* owner) {
  TopLevel* top = owner ? top_level_of(owner) : active_top_level();
  return top && top->shown ? GTK_WINDOW(top->gtk_window) : nullptr;
}

// Runs a dialog's nested loop; `read` takes what it needs from the dialog
// before it goes. Keys released while it was up never reach the program's
// windows, so the core must not think them still held.
template <typename Read>
int run_modal(GtkWidget* dialog, Read read) {
  State& s = state();
  ++s.modal_depth;
  int response = gtk_dialog_run(GTK_DIALOG(dialog));
  --s.modal_depth;
  read(response);
  gtk_widget_destroy(dialog);
  release_held_keys();
  return response;
}

void add_filters(GtkFileChooser* chooser, const FileDialogRequest& request, std::vector<GtkFileFilter*>& filters) {
  for (const FileFilter& f : request.filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, to_display_utf8(f.description).c_str());
    // Patterns match the names as GTK shows them.
    std::string patterns = to_display_utf8(f.pattern);
    std::size_t start = 0;
    while (start <= patterns.size()) {
      std::size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      std::string one = patterns.substr(start, end - start);
      while (!one.empty() && one.front() == ' ') one.erase(0, 1);
      if (!one.empty()) gtk_file_filter_add_pattern(filter, case_blind_pattern(one).c_str());
      start = end + 1;
    }
    gtk_file_chooser_add_filter(chooser, filter);
    filters.push_back(filter);
  }
  std::uint32_t index = request.filter_index;
  if (index >= 1 && index <= filters.size()) gtk_file_chooser_set_filter(chooser, filters[index - 1]);
}

void preset_file(GtkFileChooser* chooser, const FileDialogRequest& request) {
  // Folders and files are names, bytes as the system has them; the name
  // typed into a save dialog is text shown to the user.
  std::string folder = to_utf8(request.folder);
  std::string file = to_utf8(request.file);
  if (!folder.empty()) gtk_file_chooser_set_current_folder(chooser, folder.c_str());
  if (file.empty()) return;
  if (request.save) {
    gtk_file_chooser_set_current_name(chooser, to_display_utf8(request.file).c_str());
  } else {
    std::string path = file.front() == '/' ? file : (folder.empty() ? file : folder + "/" + file);
    gtk_file_chooser_set_filename(chooser, path.c_str());
  }
}

struct Buttons {
  const char* labels[3];
  int answers[3];
};

Buttons buttons_for(std::uint32_t flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{"_OK", "_Cancel", nullptr}, {IDOK, IDCANCEL, 0}};
    case MB_ABORTRETRYIGNORE: return {{"_Abort", "_Retry", "_Ignore"}, {IDABORT, IDRETRY, IDIGNORE}};
    case MB_YESNOCANCEL: return {{"_Yes", "_No", "_Cancel"}, {IDYES, IDNO, IDCANCEL}};
    case MB_YESNO: return {{"_Yes", "_No", nullptr}, {IDYES, IDNO, 0}};
    case MB_RETRYCANCEL: return {{"_Retry", "_Cancel", nullptr}, {IDRETRY, IDCANCEL, 0}};
    case MB_CANCELTRYCONTINUE:
      return {{"_Cancel", "_Try Again", "_Continue"}, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}};
    default: return {{"_OK", nullptr, nullptr}, {IDOK, 0, 0}};
  }
}

GtkMessageType message_type(std::uint32_t flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR: return GTK_MESSAGE_ERROR;
    case MB_ICONQUESTION: return GTK_MESSAGE_QUESTION;
    case MB_ICONWARNING: return GTK_MESSAGE_WARNING;
    case MB_ICONINFORMATION: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
  }
}

// Closing the box without a button: Cancel where there is one, else the
// answer that goes ahead least.
int closed_answer(const Buttons& buttons) {
  for (int answer : buttons.answers)
    if (answer == IDCANCEL) return IDCANCEL;
  switch (buttons.answers[0]) {
    case IDYES: return IDNO;
    case IDABORT: return IDABORT;
    default: return IDOK;
  }
}

}  // namespace

std::string case_blind_pattern(std::string_view pattern) {
  std::string out;
  bool in_class = false;
  for (char c : pattern) {
    if (c == '[') in_class = true;
    if (c == ']') in_class = false;
    unsigned char u = static_cast<unsigned char>(c);
    if (!in_class && std::isalpha(u)) {
      out += '[';
      out += static_cast<char>(std::tolower(u));
      out += static_cast<char>(std::toupper(u));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

bool run_file_dialog(const FileDialogRequest& request, FileDialogAnswer& answer) {
  std::string title = to_display_utf8(request.title);
  if (title.empty()) title = request.save ? "Save As" : "Open";
  GtkFileChooserAction action = request.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN;
  GtkWidget* dialog =
      gtk_file_chooser_dialog_new(title.c_str(), parent_for(request.owner), action, "_Cancel", GTK_RESPONSE_CANCEL,
                                  request.save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  auto* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  if (request.save && (request.flags & OFN_OVERWRITEPROMPT))
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
  std::vector<GtkFileFilter*> filters;
  add_filters(chooser, request, filters);
  preset_file(chooser, request);

  bool chosen = false;
  run_modal(dialog, [&](int response) {
    if (response != GTK_RESPONSE_ACCEPT) return;
    gchar* path = gtk_file_chooser_get_filename(chooser);
    chosen = path != nullptr;
    if (path) answer.path = from_utf8(path);
    g_free(path);
    GtkFileFilter* in_use = gtk_file_chooser_get_filter(chooser);
    for (std::size_t i = 0; i < filters.size(); ++i)
      if (filters[i] == in_use) answer.filter_index = static_cast<std::uint32_t>(i + 1);
  });
  return chosen;
}

int run_message_box(const MessageBoxRequest& request) {
  GtkWidget* dialog = gtk_message_dialog_new(parent_for(request.owner), GTK_DIALOG_MODAL, message_type(request.flags),
                                             GTK_BUTTONS_NONE, "%s", to_display_utf8(request.text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), to_display_utf8(request.title).c_str());
  Buttons buttons = buttons_for(request.flags);
  for (int i = 0; i < 3 && buttons.labels[i]; ++i)
    gtk_dialog_add_button(GTK_DIALOG(dialog), buttons.labels[i], buttons.answers[i]);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), default_button(request.flags));
  int response = run_modal(dialog, [](int) {});
  return response > 0 ? response : closed_answer(buttons);
}

}  // namespace native::gtk
