// The GTK backend's translations that need no display: menu texts, file
// patterns, dropped URI lists and key symbols.
#include "native/backends/gtk/dialogs.h"
#include "native/backends/gtk/key_map.h"
#include "native/backends/gtk/menu_text.h"
#include "native/backends/gtk/uri_list.h"
#include "native/input_state.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace {

using native::gtk::MenuText;

TEST(MenuTextTest, MnemonicsUnderscoresAndHints) {
  auto text = [](const char16_t* t) { return native::gtk::menu_text(t); };
  EXPECT_EQ(text(u"&Open...\tCtrl+O").label, "_Open...");
  EXPECT_EQ(text(u"&Open...\tCtrl+O").hint, "Ctrl+O");
  EXPECT_EQ(text(u"Quit\tEsc").hint, "Esc");  // GTK's own label would say "Escape"
  EXPECT_EQ(text(u"x1").label, "x1");
  EXPECT_EQ(text(u"x1").hint, "");
  EXPECT_EQ(text(u"Fish && &Chips").label, "Fish & _Chips");
  EXPECT_EQ(text(u"save_as").label, "save__as");  // a plain '_' is no mnemonic
  EXPECT_EQ(text(u"trailing&").label, "trailing&");
  EXPECT_EQ(text(u"Zoom \u00bd\tCtrl+\u00bd").hint, "Ctrl+\u00bd");
}

TEST(FilePatternTest, LettersMatchEitherCase) {
  using native::gtk::case_blind_pattern;
  EXPECT_EQ(case_blind_pattern("*.ss4"), "*.[sS][sS]4");
  EXPECT_EQ(case_blind_pattern("*.*"), "*.*");
  EXPECT_EQ(case_blind_pattern("*.PNG"), "*.[pP][nN][gG]");
  // A class already written stays as it is.
  EXPECT_EQ(case_blind_pattern("img[0-9a].bmp"), "[iI][mM][gG][0-9a].[bB][mM][pP]");
}

TEST(UriListTest, LocalFilesOnlyWithEscapesDecoded) {
  using native::gtk::paths_from_uri_list;
  auto paths = paths_from_uri_list(
      "# a comment\r\nfile:///tmp/two%20words.ss4\r\nhttp://example.com/x.ss4\r\nfile:///tmp/%C3%A9t%C3%A9.ss4\r\n"
      "file:///tmp/caf%E9.ss4\r\n");
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_EQ(paths[0], u"/tmp/two words.ss4");
  EXPECT_EQ(paths[1], u"/tmp/\u00e9t\u00e9.ss4");
  EXPECT_EQ(paths[2], u"/tmp/caf\xDCE9.ss4");  // a Latin-1 name, kept as its bytes
  EXPECT_TRUE(paths_from_uri_list("").empty());
  EXPECT_TRUE(paths_from_uri_list(nullptr).empty());
  EXPECT_TRUE(paths_from_uri_list("not a uri at all").empty());
}

TEST(KeyMapTest, KeySymbolsToVirtualKeys) {
  using native::gtk::virtual_key_for_keyval;
  EXPECT_EQ(virtual_key_for_keyval(XK_o), 'O');
  EXPECT_EQ(virtual_key_for_keyval(XK_O), 'O');
  EXPECT_EQ(virtual_key_for_keyval(XK_s), 'S');
  EXPECT_EQ(virtual_key_for_keyval(XK_0), '0');
  EXPECT_EQ(virtual_key_for_keyval(XK_Escape), native::VK_ESCAPE);
  EXPECT_EQ(virtual_key_for_keyval(XK_Return), native::VK_RETURN);
  EXPECT_EQ(virtual_key_for_keyval(XK_KP_Enter), native::VK_RETURN);
  EXPECT_EQ(virtual_key_for_keyval(XK_Control_R), native::VK_CONTROL);
  EXPECT_EQ(virtual_key_for_keyval(XK_Shift_L), native::VK_SHIFT);
  EXPECT_EQ(virtual_key_for_keyval(XK_Alt_L), native::VK_MENU);
  EXPECT_EQ(virtual_key_for_keyval(XK_F10), native::VK_F10);
  EXPECT_EQ(virtual_key_for_keyval(XK_KP_7), native::VK_NUMPAD0 + 7);
  EXPECT_EQ(virtual_key_for_keyval(XK_Left), native::VK_LEFT);
  EXPECT_EQ(virtual_key_for_keyval(XK_KP_Down), native::VK_DOWN);
  EXPECT_EQ(virtual_key_for_keyval(XK_Tab), native::VK_TAB);
  EXPECT_EQ(virtual_key_for_keyval(XK_ISO_Left_Tab), native::VK_TAB);  // Shift+Tab
  EXPECT_EQ(virtual_key_for_keyval(XK_exclam), 0);  // Shift+1 is found from the key, not the symbol
  EXPECT_EQ(virtual_key_for_keyval(0x6c9), 0);      // Cyrillic: likewise
}

}  // namespace
