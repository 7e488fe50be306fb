// File choosers and message dialogs.
#include "native/backends/gtk/dialogs.h"

#include "native/backends/gtk/display_keys.h"
#include "native/backends/gtk/file_patterns.h"
#include "native/backends/gtk/gtk_state.h"
#include "native/backends/gtk/input.h"
#include "native/system/text.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace native::gtk {
namespace {

GtkWindow* parent_for(Window* owner) {
  TopLevel* top = owner ? top_level_of(owner) : active_top_level();
  return top && top->shown ? GTK_WINDOW(top->gtk_window) : nullptr;
}

// Runs a dialog's nested loop; `read` takes what it needs from the dialog
// before it goes. Keys released while it was up never reach the program's
// windows, so the core must not think them still held; and a key still
// down as it closes (the Escape that cancelled it) was the dialog's.
template <typename Read>
int run_modal(GtkWidget* dialog, Read read) {
  State& s = state();
  ++s.modal_depth;
  int response = gtk_dialog_run(GTK_DIALOG(dialog));
  --s.modal_depth;
  read(response);
  gtk_widget_destroy(dialog);
  release_held_keys();
  disown_held_keys();
  return response;
}

void add_filters(GtkFileChooser* chooser, const FileDialogRequest& request, std::vector<GtkFileFilter*>& filters) {
  for (const FileFilter& f : request.filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, to_display_utf8(f.description).c_str());
    // Patterns match the names as GTK shows them.
    for (const std::string& pattern : chooser_patterns(to_display_utf8(f.pattern)))
      gtk_file_filter_add_pattern(filter, pattern.c_str());
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
    case MB_CANCELTRYCONTINUE: return {{"_Cancel", "_Try Again", "_Continue"}, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}};
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

GdkRectangle workarea_near(GtkWindow* parent) {
  GdkRectangle area{0, 0, 1024, 768};
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return area;
  GdkWindow* near = parent ? gtk_widget_get_window(GTK_WIDGET(parent)) : nullptr;
  GdkMonitor* monitor = near ? gdk_display_get_monitor_at_window(display, near) : nullptr;
  if (!monitor) monitor = gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  if (monitor) gdk_monitor_get_workarea(monitor, &area);
  return area;
}

bool has_word_longer_than(std::string_view text, int limit) {
  int run = 0;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\t') {
      run = 0;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++run > limit) {
      return true;
    }
  }
  return false;
}

// Not Pango's word-then-character wrapping: it takes seconds on a word of
// a few thousand characters.
void wrap_anywhere(GtkLabel* label) {
  gtk_label_set_line_wrap_mode(label, PANGO_WRAP_CHAR);
  // A hyphen at a break would read as part of the name.
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
  gtk_label_set_attributes(label, attributes);
  pango_attr_list_unref(attributes);
}

void scroll_within(GtkBox* area, GtkWidget* text, int max_width, int max_height) {
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  auto* scrolled = GTK_SCROLLED_WINDOW(scroller);
  gtk_scrolled_window_set_policy(scrolled, GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_propagate_natural_width(scrolled, TRUE);
  gtk_scrolled_window_set_propagate_natural_height(scrolled, TRUE);
  gtk_scrolled_window_set_max_content_width(scrolled, max_width);
  gtk_scrolled_window_set_max_content_height(scrolled, max_height);
  g_object_ref(text);
  gtk_container_remove(GTK_CONTAINER(area), text);
  gtk_container_add(GTK_CONTAINER(scroller), text);
  g_object_unref(text);
  gtk_box_pack_start(area, scroller, TRUE, TRUE, 0);
  gtk_box_reorder_child(area, scroller, 0);
  gtk_widget_show(scroller);
}

// A name of thousands of characters has no space to wrap at: the text
// breaks anywhere, and scrolls when still too tall, so that the whole box,
// its buttons too, stays on the monitor. Other texts look as GTK lays them
// out (a scroll bar would make a short text's box taller).
void fit_text_to_monitor(GtkMessageDialog* dialog, GtkWindow* parent) {
  GtkWidget* area = gtk_message_dialog_get_message_area(dialog);
  GList* children = gtk_container_get_children(GTK_CONTAINER(area));
  GtkWidget* text = children ? GTK_WIDGET(children->data) : nullptr;
  g_list_free(children);
  if (!text || !GTK_IS_LABEL(text)) return;
  auto* label = GTK_LABEL(text);
  if (has_word_longer_than(gtk_label_get_text(label), gtk_label_get_max_width_chars(label))) wrap_anywhere(label);
  // Room left for the title bar, the buttons and the box's borders.
  GdkRectangle work = workarea_near(parent);
  int max_width = work.width * 3 / 4, max_height = work.height * 2 / 3;
  int width = 0, height = 0;
  gtk_widget_get_preferred_width(text, nullptr, &width);
  gtk_widget_get_preferred_height_for_width(text, std::min(width, max_width), nullptr, &height);
  if (width > max_width || height > max_height) scroll_within(GTK_BOX(area), text, max_width, max_height);
}

}  // namespace

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
  GtkWindow* parent = parent_for(request.owner);
  GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, message_type(request.flags), GTK_BUTTONS_NONE,
                                             "%s", to_display_utf8(request.text).c_str());
  fit_text_to_monitor(GTK_MESSAGE_DIALOG(dialog), parent);
  gtk_window_set_title(GTK_WINDOW(dialog), to_display_utf8(request.title).c_str());
  Buttons buttons = buttons_for(request.flags);
  for (int i = 0; i < 3 && buttons.labels[i]; ++i)
    gtk_dialog_add_button(GTK_DIALOG(dialog), buttons.labels[i], buttons.answers[i]);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), default_button(request.flags));
  int response = run_modal(dialog, [](int) {});
  return response > 0 ? response : closed_answer(buttons);
}

}  // namespace native::gtk
