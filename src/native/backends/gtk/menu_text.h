#pragma once
// A menu item's text as GTK shows it.
#include <string>

namespace native::gtk {

struct MenuText {
  std::string label;  // with GTK's '_' mnemonic marks
  std::string hint;   // the shortcut shown on the right; empty for none
};

// "&Open...\tCtrl+O": '&' marks the mnemonic ("&&" is a plain '&') where
// GTK uses '_' (a plain '_' doubles); the text after the tab is the hint.
MenuText menu_text(const std::u16string& text);

}  // namespace native::gtk
