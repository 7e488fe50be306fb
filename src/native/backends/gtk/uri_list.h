#pragma once
// What a drag of files from a file manager carries: a text/uri-list.
#include <string>
#include <vector>

namespace native::gtk {

// Local paths of the file: URIs in the list, in order, percent-escapes
// decoded; comment lines, other schemes and files on another host (a host
// name other than this machine's or "localhost") are skipped.
std::vector<std::u16string> paths_from_uri_list(const char* uri_list);

}  // namespace native::gtk
