#pragma once
// Files dropped from other programs: text/uri-list drags over a top-level
// become the core's drag protocol (enter, over, leave, drop) with the
// dropped names as a file list.
#include "native/backends/gtk/gtk_state.h"

#include <string>
#include <vector>

namespace native::gtk {

void enable_drops(TopLevel& top);
// Local paths of the file: URIs in a text/uri-list, in order; other lines
// and other schemes are skipped.
std::vector<std::u16string> paths_from_uri_list(const char* uri_list);

}  // namespace native::gtk
