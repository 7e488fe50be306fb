#include "window_test_support.h"

#include "native/windowing/accelerator.h"
#include "native/windowing/input_state.h"
#include "native/windowing/menu.h"
#include "native/windowing/message_queue.h"

namespace {

using native::Menu;
using native::Window;
using wintest::Record;
namespace hl = native::headless;

std::uintptr_t popup(Menu* m) { return reinterpret_cast<std::uintptr_t>(m); }

// The viewer's bar: File (0, 1, separator, 2) and Mode (3, 4).
struct ViewerMenu {
  Menu* bar = native::create_menu();
  Menu* file = native::create_popup_menu();
  Menu* mode = native::create_popup_menu();
  ViewerMenu() {
    native::append_menu(bar, native::MF_POPUP, popup(file), u"File");
    native::append_menu(file, native::MF_STRING, 0, u"Open...\tCtrl+O");
    native::append_menu(file, native::MF_STRING, 1, u"Save image...\tCtrl+S");
    native::append_menu(file, native::MF_SEPARATOR, static_cast<std::uintptr_t>(-1), u"");
    native::append_menu(file, native::MF_STRING, 2, u"Quit\tEsc");
    native::append_menu(bar, native::MF_POPUP, popup(mode), u"Mode");
    native::append_menu(mode, native::MF_STRING, 3, u"x1");
    native::append_menu(mode, native::MF_STRING | native::MF_GRAYED, 4, u"x2");
  }
};

std::uint32_t state_of(Menu* m, std::uint32_t id) {
  native::MenuItemInfo info;
  info.mask = native::MIIM_STATE;
  return native::get_menu_item_info(m, id, false, info) ? info.state : 0xFFFFFFFF;
}

class Menus : public wintest::WindowTest {};

TEST_F(Menus, CheckStateIsFoundByIdentifierInEveryDropDown) {
  ViewerMenu v;
  native::MenuItemInfo info;
  info.mask = native::MIIM_STATE;
  info.state = native::MFS_GRAYED | native::MFS_CHECKED;
  ASSERT_TRUE(native::set_menu_item_info(v.bar, 4, false, info));
  EXPECT_EQ(state_of(v.bar, 4), native::MFS_GRAYED | native::MFS_CHECKED);
  EXPECT_EQ(state_of(v.mode, 3), 0u);
  EXPECT_EQ(native::check_menu_item(v.bar, 3, native::MF_CHECKED), 0);
  EXPECT_EQ(native::check_menu_item(v.bar, 4, 0), static_cast<int>(native::MF_CHECKED));
  EXPECT_EQ(state_of(v.bar, 3), native::MFS_CHECKED);
  EXPECT_EQ(state_of(v.bar, 4), native::MFS_GRAYED);  // other bits kept
  EXPECT_EQ(state_of(v.bar, 99), 0xFFFFFFFFu);
  EXPECT_FALSE(native::set_menu_item_info(v.bar, 99, false, info));
  EXPECT_EQ(native::check_menu_item(v.bar, 99, native::MF_CHECKED), -1);
  EXPECT_EQ(state_of(v.file, 3), 0xFFFFFFFFu);  // a drop-down searches only below itself
}

TEST_F(Menus, BackendsCanReadTheWholeBar) {
  ViewerMenu v;
  ASSERT_EQ(native::get_menu_item_count(v.bar), 2);
  EXPECT_EQ(native::get_sub_menu(v.bar, 1), v.mode);
  native::MenuItemInfo info;
  info.mask = native::MIIM_STRING | native::MIIM_FTYPE | native::MIIM_ID | native::MIIM_SUBMENU;
  ASSERT_TRUE(native::get_menu_item_info(v.bar, 0, true, info));
  EXPECT_EQ(info.text, u"File");
  EXPECT_EQ(info.submenu, v.file);
  ASSERT_TRUE(native::get_menu_item_info(v.file, 2, true, info));
  EXPECT_EQ(info.type, native::MFT_SEPARATOR);
  ASSERT_TRUE(native::get_menu_item_info(v.file, 3, true, info));
  EXPECT_EQ(info.text, u"Quit\tEsc");
  EXPECT_EQ(info.id, 2u);
  EXPECT_FALSE(native::get_menu_item_info(v.file, 4, true, info));
  EXPECT_FALSE(native::append_menu(v.bar, native::MF_POPUP, popup(v.bar), u"Self"));
}

TEST_F(Menus, DestroyingAnAttachedBarGivesTheRoomBack) {
  ViewerMenu v;
  Window* w = make_window(200, 100);
  native::set_menu(w, v.bar);
  EXPECT_EQ(native::get_menu(w), v.bar);
  EXPECT_EQ(native::get_client_rect(w).bottom, 100 - hl::MENU_HEIGHT);
  record_only({native::WM_SIZE});
  ASSERT_TRUE(native::destroy_menu(v.bar));
  EXPECT_FALSE(native::is_menu(v.mode));
  EXPECT_EQ(native::get_menu(w), nullptr);
  EXPECT_EQ(take_log(), (std::vector<Record>{{w, native::WM_SIZE, 0, native::make_lparam(200, 100)}}));
}

TEST_F(Menus, ChoosingAnItemPostsItsCommand) {
  ViewerMenu v;
  Window* w = make_window(100, 100, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
  native::set_menu(w, v.bar);
  pump();
  record_only({native::WM_COMMAND});
  EXPECT_TRUE(hl::choose_menu_item(w, 1));
  EXPECT_FALSE(hl::choose_menu_item(w, 4));   // greyed
  EXPECT_FALSE(hl::choose_menu_item(w, 77));  // no such item
  EXPECT_EQ(native::queued_message_count(), 1u);
  pump();
  EXPECT_EQ(take_log(), (std::vector<Record>{{w, native::WM_COMMAND, 1, 0}}));
}

class Accelerators : public wintest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window = make_window(100, 100, native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE);
    native::Accel entries[] = {{native::FVIRTKEY | native::FNOINVERT, native::VK_TAB, 64001},
                               {native::FVIRTKEY | native::FNOINVERT | native::FSHIFT, native::VK_TAB, 64002},
                               {native::FVIRTKEY | native::FNOINVERT | native::FCONTROL, 'O', 0},
                               {native::FVIRTKEY | native::FNOINVERT | native::FALT, 'S', 1}};
    table = native::create_accelerator_table(entries, 4);
    pump();
  }
  void TearDown() override {
    native::destroy_accelerator_table(table);
    WindowTest::TearDown();
  }
  // The runtime's loop: a translated key is not translated or dispatched.
  void run() {
    native::Message m;
    while (native::peek_message(m, nullptr, 0, 0, native::PM_REMOVE)) {
      if (native::translate_accelerator(window, table, m)) continue;
      native::translate_message(m);
      native::dispatch_message(m);
    }
  }
  Window* window = nullptr;
  native::AccelTable* table = nullptr;
};

TEST_F(Accelerators, KeysWithExactlyTheirModifiersBecomeCommands) {
  record_only({native::WM_COMMAND, native::WM_CHAR});
  hl::press_key('O', hl::MOD_CONTROL);
  hl::press_key('O', hl::MOD_CONTROL | hl::MOD_SHIFT);  // an extra modifier: no match
  hl::press_key(native::VK_TAB);
  hl::press_key(native::VK_TAB, hl::MOD_SHIFT);
  hl::press_key('S', hl::MOD_ALT);
  hl::press_key('S');
  run();
  std::vector<Record> expected = {{window, native::WM_COMMAND, native::make_wparam(0, 1), 0},
                                  {window, native::WM_CHAR, 15, 1},
                                  {window, native::WM_COMMAND, native::make_wparam(64001, 1), 0},
                                  {window, native::WM_COMMAND, native::make_wparam(64002, 1), 0},
                                  {window, native::WM_COMMAND, native::make_wparam(1, 1), 0},
                                  {window, native::WM_CHAR, 's', 1}};
  EXPECT_EQ(take_log(), expected);
}

TEST_F(Accelerators, TablesAreCopiedAndValidated) {
  native::Accel out[8];
  EXPECT_EQ(native::copy_accelerator_table(table, nullptr, 0), 4);
  ASSERT_EQ(native::copy_accelerator_table(table, out, 8), 4);
  EXPECT_EQ(out[2], (native::Accel{native::FVIRTKEY | native::FNOINVERT | native::FCONTROL, 'O', 0}));
  EXPECT_EQ(native::create_accelerator_table(out, 0), nullptr);
  native::AccelTable* gone = native::create_accelerator_table(out, 1);
  EXPECT_TRUE(native::destroy_accelerator_table(gone));
  EXPECT_FALSE(native::destroy_accelerator_table(gone));
  native::Message m{window, native::WM_KEYDOWN, native::VK_TAB, 0, 0, {}};
  EXPECT_EQ(native::translate_accelerator(window, gone, m), 0);
  EXPECT_EQ(native::translate_accelerator(nullptr, table, m), 0);
}

TEST_F(Accelerators, AGreyedMenuItemSwallowsItsShortcut) {
  ViewerMenu v;
  native::set_menu(window, v.bar);
  native::Accel entry{native::FVIRTKEY, 'X', 4};  // item 4 is greyed
  native::AccelTable* t = native::create_accelerator_table(&entry, 1);
  record_only({native::WM_COMMAND});
  native::Message m{window, native::WM_KEYDOWN, 'X', 1, 0, {}};
  EXPECT_NE(native::translate_accelerator(window, t, m), 0);
  EXPECT_TRUE(take_log().empty());
  native::destroy_accelerator_table(t);
}

}  // namespace
