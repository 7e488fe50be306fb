// Reading text/uri-list with GLib's own URI rules.
#include "native/backends/gtk/uri_list.h"

#include "native/text.h"

#include <glib.h>

namespace native::gtk {

std::vector<std::u16string> paths_from_uri_list(const char* uri_list) {
  std::vector<std::u16string> paths;
  if (!uri_list) return paths;
  gchar** uris = g_uri_list_extract_uris(uri_list);
  for (gchar** uri = uris; uri && *uri; ++uri) {
    gchar* path = g_filename_from_uri(*uri, nullptr, nullptr);
    if (path) paths.push_back(from_utf8(path));
    g_free(path);
  }
  g_strfreev(uris);
  return paths;
}

}  // namespace native::gtk
