// Menu item texts from the core's notation to GTK's.
#include "native/backends/gtk/menu_text.h"

#include "native/system/text.h"

#include <string_view>

namespace native::gtk {

MenuText menu_text(const std::u16string& text) {
  std::string utf8 = to_display_utf8(text);
  MenuText out;
  std::size_t tab = utf8.find('\t');
  if (tab != std::string::npos) out.hint = utf8.substr(tab + 1);
  std::string_view raw = std::string_view(utf8).substr(0, tab);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '_') {
      out.label += "__";
    } else if (c == '&' && i + 1 < raw.size()) {
      out.label += raw[i + 1] == '&' ? "&" : "_";
      if (raw[i + 1] == '&') ++i;
    } else {
      out.label += c;
    }
  }
  return out;
}

}  // namespace native::gtk
