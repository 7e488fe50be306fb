#pragma once
// The open and save dialogs as GTK file choosers and the message box as a
// GTK message dialog, each modal over the program's windows.
#include "native/dialogs.h"

#include <string>

namespace native::gtk {

bool run_file_dialog(const FileDialogRequest& request, FileDialogAnswer& answer);
int run_message_box(const MessageBoxRequest& request);
// A pattern as GTK should match it: GTK compares letters exactly, the
// patterns mean any case ("*.ss4" becomes "*.[sS][sS]4").
std::string case_blind_pattern(std::string_view pattern);

}  // namespace native::gtk
