#pragma once
// The open and save dialogs as GTK file choosers and the message box as a
// GTK message dialog, each modal over the program's windows.
#include "native/windowing/dialogs.h"

namespace native::gtk {

bool run_file_dialog(const FileDialogRequest& request, FileDialogAnswer& answer);
int run_message_box(const MessageBoxRequest& request);

}  // namespace native::gtk
