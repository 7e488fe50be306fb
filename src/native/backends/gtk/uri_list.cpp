// Reading text/uri-list with GLib's own URI rules.
#include "native/backends/gtk/uri_list.h"

#include "native/system/text.h"

#include <glib.h>

namespace native::gtk {
namespace {

// A file: URI may name the machine it is on; only our own names are here.
bool names_this_machine(const gchar* host) {
  return !host || !*host || g_ascii_strcasecmp(host, "localhost") == 0 ||
         g_ascii_strcasecmp(host, g_get_host_name()) == 0;
}

}  // namespace

std::vector<std::u16string> paths_from_uri_list(const char* uri_list) {
  std::vector<std::u16string> paths;
  if (!uri_list) return paths;
  gchar** uris = g_uri_list_extract_uris(uri_list);
  for (gchar** uri = uris; uri && *uri; ++uri) {
    gchar* host = nullptr;
    gchar* path = g_filename_from_uri(*uri, &host, nullptr);
    if (path && names_this_machine(host)) paths.push_back(from_utf8(path));
    g_free(path);
    g_free(host);
  }
  g_strfreev(uris);
  return paths;
}

}  // namespace native::gtk
