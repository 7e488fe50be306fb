// The GTK backend's translations that need no display: menu texts, file
// patterns, dropped URI lists and key symbols both ways.
#include "native/backends/gtk/file_patterns.h"
#include "native/backends/gtk/key_map.h"
#include "native/backends/gtk/menu_text.h"
#include "native/backends/gtk/uri_list.h"
#include "native/windowing/input_state.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

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

TEST(FilePatternTest, ListsSplitAndStarDotStarTakesEveryName) {
  using Patterns = std::vector<std::string>;
  const struct {
    const char* list;
    Patterns patterns;
  } cases[] = {
      {"*.*", {"*"}},  // names without a dot too ("SCREEN")
      {"*.ss4", {"*.[sS][sS]4"}},
      {"*.ss4;*.*", {"*.[sS][sS]4", "*"}},
      {" *.* ; *.png ", {"*", "*.[pP][nN][gG]"}},
      {"*.*x", {"*.*[xX]"}},  // only the whole pattern means every file
      {"a*.*", {"[aA]*.*"}},
      {";;", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(native::gtk::chooser_patterns(c.list), c.patterns) << '"' << c.list << '"';
}

TEST(UriListTest, LocalFilesOnlyWithEscapesDecoded) {
  using native::gtk::paths_from_uri_list;
  char host[256] = {};
  ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
  const struct {
    std::string uri;
    const char16_t* path;  // null: skipped
  } cases[] = {
      {"# a comment", nullptr},
      {"file:///tmp/two%20words.ss4", u"/tmp/two words.ss4"},
      {"http://example.com/x.ss4", nullptr},
      {"file:///tmp/%C3%A9t%C3%A9.ss4", u"/tmp/\u00e9t\u00e9.ss4"},
      {"file:///tmp/caf%E9.ss4", u"/tmp/caf\xDCE9.ss4"},  // a Latin-1 name, kept as its bytes
      {"file://otherhost/tmp/x.ss4", nullptr},            // not this machine's /tmp/x.ss4
      {"file://localhost/tmp/here.ss4", u"/tmp/here.ss4"},
      {"file://LocalHost/tmp/case.ss4", u"/tmp/case.ss4"},
      {"file://" + std::string(host) + "/tmp/mine.ss4", u"/tmp/mine.ss4"},
  };
  std::string list;
  std::vector<std::u16string> expected;
  for (const auto& c : cases) {
    list += c.uri + "\r\n";
    if (c.path) expected.push_back(c.path);
  }
  EXPECT_EQ(paths_from_uri_list(list.c_str()), expected);
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
  EXPECT_EQ(virtual_key_for_keyval(XK_exclam), 0);                     // Shift+1 is found from the key, not the symbol
  EXPECT_EQ(virtual_key_for_keyval(0x6c9), 0);                         // Cyrillic: likewise
}

TEST(KeyMapTest, VirtualKeysBackToKeySymbols) {
  using native::gtk::keyvals_for_virtual_key;
  using Keyvals = std::vector<unsigned>;
  const struct {
    std::uint8_t key;
    Keyvals keyvals;
  } cases[] = {
      {native::VK_ESCAPE, {XK_Escape}},
      {'O', {XK_o, XK_O}},
      {'7', {XK_7}},
      {native::VK_NUMPAD0 + 7, {XK_KP_7}},
      {native::VK_F1 + 23, {XK_F24}},
      {native::VK_RETURN, {XK_Return, XK_KP_Enter}},
      {native::VK_SHIFT, {XK_Shift_L, XK_Shift_R}},
      {native::VK_LSHIFT, {XK_Shift_L}},
      {native::VK_RCONTROL, {XK_Control_R}},
      {native::VK_LBUTTON, {}},  // the pointer's, not the keyboard's
      {0, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(keyvals_for_virtual_key(c.key), c.keyvals) << "virtual key " << int(c.key);
  // Every symbol found makes its key again; sides make the generic key.
  auto generic = [](std::uint8_t key) {
    bool side = key >= native::VK_LSHIFT && key <= native::VK_RMENU;
    return side ? std::uint8_t(native::VK_SHIFT + (key - native::VK_LSHIFT) / 2) : key;
  };
  for (int key = 1; key < 256; ++key)
    for (unsigned keyval : keyvals_for_virtual_key(std::uint8_t(key)))
      EXPECT_EQ(native::gtk::virtual_key_for_keyval(keyval), generic(std::uint8_t(key))) << "keysym " << keyval;
}

}  // namespace
