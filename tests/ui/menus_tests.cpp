#include "ui_fixture.h"

#include "ui/event_queue.h"
#include "ui/event_wait.h"
#include "ui/keyboard_shortcuts.h"
#include "ui/menus.h"
#include "ui/windows.h"

#include "native/backends/headless/headless.h"
#include "native/windowing/accelerator.h"
#include "native/windowing/input_state.h"
#include "native/windowing/menu.h"
#include "native/windowing/window.h"

#include <string>
#include <vector>

namespace {

namespace headless = native::headless;

// A menu flattened to text: titles, items as "id:text", separators as "-".
std::vector<std::u16string> describe(native::Menu* menu) {
  std::vector<std::u16string> lines;
  for (int i = 0; i < native::get_menu_item_count(menu); ++i) {
    native::MenuItemInfo info;
    info.mask = native::MIIM_ID | native::MIIM_STRING | native::MIIM_SUBMENU | native::MIIM_FTYPE;
    native::get_menu_item_info(menu, static_cast<std::uint32_t>(i), true, info);
    if (info.type & native::MFT_SEPARATOR) {
      lines.push_back(u"-");
    } else if (info.submenu) {
      lines.push_back(u"[" + info.text + u"]");
      for (const std::u16string& line : describe(info.submenu)) lines.push_back(u"  " + line);
    } else {
      std::string id = std::to_string(info.id);
      lines.push_back(std::u16string(id.begin(), id.end()) + u":" + info.text);
    }
  }
  return lines;
}

class MenusTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    open_window(0, 0, 0, 512, 384 + native::get_system_metrics(native::SM_CYMENU), u"Viewer", 0x00CA0001);
    window = window_handle(0);
    events();
  }
  void build_viewer_menu() {
    create_menu(0, window);
    menu_title(u"File");
    menu_item(0, u"Open...\tCtrl+O");
    menu_item(1, u"Save image...\tCtrl+S");
    menu_bar();
    menu_item(2, u"Quit\tEsc");
    menu_title(u"Mode");
    menu_item(3, u"x1");
    menu_item(4, u"x2");
    set_menu_item_state(0, 4, true);
    add_keyboard_shortcut(0, SHORTCUT_CONTROL | 'O', 0);
    add_keyboard_shortcut(0, SHORTCUT_CONTROL | 'S', 1);
  }
  native::Window* window = nullptr;
};

TEST_F(MenusTest, BuildsTitlesItemsAndSeparatorsInOrder) {
  build_viewer_menu();
  ASSERT_NE(native::get_menu(window), nullptr);
  EXPECT_EQ(describe(native::get_menu(window)),
            (std::vector<std::u16string>{u"[File]", u"  0:Open...\tCtrl+O", u"  1:Save image...\tCtrl+S", u"  -",
                                         u"  2:Quit\tEsc", u"[Mode]", u"  3:x1", u"  4:x2"}));
  // The client area below the bar is still the size asked for.
  native::Rect client = native::get_client_rect(window);
  EXPECT_EQ(client.bottom - client.top, 384);
}

TEST_F(MenusTest, ItemsBeforeAnyTitleLandOnTheBar) {
  create_menu(0, window);
  menu_item(9, u"Bare");
  menu_title(u"Next");
  menu_item(1, u"Inside");
  EXPECT_EQ(describe(native::get_menu(window)), (std::vector<std::u16string>{u"9:Bare", u"[Next]", u"  1:Inside"}));
}

TEST_F(MenusTest, CheckMarksAreFoundAcrossDropDowns) {
  build_viewer_menu();
  EXPECT_EQ(get_menu_item_state(0, 4), 1);
  EXPECT_EQ(get_menu_item_state(0, 3), 0);
  EXPECT_NE(set_menu_item_state(0, 3, true), 0);
  EXPECT_NE(set_menu_item_state(0, 4, false), 0);
  EXPECT_EQ(get_menu_item_state(0, 3), 1);
  EXPECT_EQ(get_menu_item_state(0, 4), 0);
  EXPECT_EQ(set_menu_item_state(0, 77, true), 0);
  EXPECT_EQ(get_menu_item_state(0, 77), 0);
  EXPECT_EQ(get_menu_item_state(5, 4), 0);  // no such menu
}

TEST_F(MenusTest, AShortcutArrivesExactlyLikeItsMenuItem) {
  build_viewer_menu();
  events();  // the bar's arrival resized and repainted the window
  headless::press_key('O', headless::MOD_CONTROL);
  std::vector<SeenEvent> by_key = events();
  headless::choose_menu_item(window, 0);
  std::vector<SeenEvent> by_menu = events();
  EXPECT_EQ(by_key, (std::vector<SeenEvent>{{EVENT_MENU, 0, 0, 0}}));
  EXPECT_EQ(by_key, by_menu);
  headless::press_key('S', headless::MOD_CONTROL | headless::MOD_SHIFT);  // other modifiers: no match
  EXPECT_TRUE(events().empty());
}

TEST_F(MenusTest, RebindingAKeyKeepsOneEntryWithTheLaterIdentifier) {
  add_keyboard_shortcut(0, SHORTCUT_CONTROL | 'O', 0);
  native::AccelTable* table = add_keyboard_shortcut(0, SHORTCUT_CONTROL | 'O', 7);
  std::vector<native::Accel> entries(static_cast<std::size_t>(native::copy_accelerator_table(table, nullptr, 0)));
  native::copy_accelerator_table(table, entries.data(), static_cast<int>(entries.size()));
  EXPECT_EQ(entries,
            (std::vector<native::Accel>{
                {3, native::VK_TAB, FOCUS_NEXT_COMMAND}, {7, native::VK_TAB, FOCUS_PREVIOUS_COMMAND}, {0x0B, 'O', 7}}));
  EXPECT_EQ(add_keyboard_shortcut(3, SHORTCUT_CONTROL | 'O', 1), nullptr);
}

TEST_F(MenusTest, MenusGoWithTheirWindowOrWhenFreed) {
  build_viewer_menu();
  EXPECT_EQ(free_menu(0), 1);
  EXPECT_EQ(native::get_menu(window), nullptr);
  EXPECT_EQ(free_menu(0), 0);
  build_viewer_menu();
  free_window(0);
  EXPECT_EQ(get_menu_item_state(0, 4), 0);
  EXPECT_EQ(free_menu(0), 0);
}

std::intptr_t plain_procedure(native::Window* w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
  return native::def_window_proc(w, m, wp, lp);
}

TEST_F(MenusTest, TabMovesTheFocusAmongTabStops) {
  native::WindowClassInfo info;
  info.procedure = plain_procedure;
  info.name = u"TestControl";
  native::register_class(info);
  auto child = [this](std::uint32_t extra) {
    return native::create_window(0, u"TestControl", u"", native::WS_CHILD | native::WS_VISIBLE | extra, 0, 0, 10, 10,
                                 window, nullptr, 0);
  };
  native::Window* a = child(native::WS_TABSTOP);
  child(0);  // not a tab stop
  native::Window* c = child(native::WS_TABSTOP);
  native::Window* d = child(native::WS_TABSTOP | native::WS_DISABLED);
  ASSERT_TRUE(d);
  std::vector<native::Window*> visited;
  for (int i = 0; i < 3; ++i) {
    headless::press_key(native::VK_TAB);
    events();
    visited.push_back(native::get_focus());
  }
  headless::press_key(native::VK_TAB, headless::MOD_SHIFT);
  events();
  visited.push_back(native::get_focus());
  EXPECT_EQ(visited, (std::vector<native::Window*>{a, c, a, c}));
}

}  // namespace
