#include "window_test_support.h"

#include "native/backends/headless/headless.h"
#include "native/system/process.h"
#include "native/system/text.h"
#include "native/windowing/dialogs.h"

#include <unistd.h>
#include <filesystem>
#include <string>

namespace {

namespace headless = native::headless;

class DialogTest : public wintest::WindowTest {};

TEST(FilterList, SplitsIntoPairsUpToTheEmptyString) {
  using Pairs = std::vector<native::FileFilter>;
  EXPECT_EQ(native::split_filter_list(nullptr), Pairs{});
  EXPECT_EQ(native::split_filter_list(u"\0\0"), Pairs{});
  EXPECT_EQ(native::split_filter_list(u"Pictures\0*.ss4;*.scr\0All\0*.*\0\0"),
            (Pairs{{u"Pictures", u"*.ss4;*.scr"}, {u"All", u"*.*"}}));
  // A description without its pattern ends the list.
  EXPECT_EQ(native::split_filter_list(u"Pictures\0*.ss4\0Lonely\0\0"), (Pairs{{u"Pictures", u"*.ss4"}}));
}

TEST(NullBackend, ClosesEveryBoxAtOnce) {
  native::init(nullptr);
  char16_t file[8] = u"name";
  native::OpenFileName d;
  d.file = file;
  d.max_file = 8;
  EXPECT_FALSE(native::get_open_file_name(d));
  EXPECT_EQ(native::comm_dlg_extended_error(), 0u);  // cancelled, not failed
  EXPECT_EQ(std::u16string(file), u"name");
  EXPECT_EQ(native::message_box(nullptr, u"text", u"title", native::MB_OK), native::IDOK);
  native::shutdown();
}

TEST_F(DialogTest, TheOwnerTakesNoInputWhileABoxIsUpAndGetsItsFocusBack) {
  native::Window* owner = make_window(200, 100);
  native::Window* child = make_child(owner, 0, 0, 50, 50);
  native::set_focus(child);
  bool enabled_during = true;
  headless::on_message_box([&](const native::MessageBoxRequest&) {
    enabled_during = native::is_window_enabled(owner);
    return native::IDOK;
  });
  // A child names its top-level window as the owner.
  native::message_box(child, u"text", u"title", 0);
  EXPECT_EQ(headless::message_boxes().back().request.owner, owner);
  EXPECT_FALSE(enabled_during);
  EXPECT_TRUE(native::is_window_enabled(owner));
  EXPECT_EQ(native::get_focus(), child);

  // One that was disabled before stays so.
  native::enable_window(owner, false);
  char16_t file[260] = {};
  native::OpenFileName d;
  d.owner = owner;
  d.file = file;
  d.max_file = 260;
  native::get_open_file_name(d);
  EXPECT_EQ(headless::file_dialogs().back().request.owner, owner);
  EXPECT_FALSE(native::is_window_enabled(owner));

  native::destroy_window(owner);
  native::message_box(owner, u"text", u"title", 0);
  EXPECT_EQ(headless::message_boxes().back().request.owner, nullptr);
}

TEST_F(DialogTest, TheAnswerIsWrittenWithinTheRoomOnly) {
  char16_t file[6] = {u'a', u'b', 0, u'#', u'#', u'#'};
  native::OpenFileName d;
  d.file = file;
  d.max_file = 5;
  d.filter_index = 2;
  headless::answer_file_dialogs({u"/abc", u"/abcd"});
  ASSERT_TRUE(native::get_open_file_name(d));
  EXPECT_EQ(headless::file_dialogs().back().request.file, u"ab");
  EXPECT_EQ(std::u16string(file), u"/abc");
  EXPECT_EQ(d.filter_index, 2u);
  EXPECT_FALSE(native::get_open_file_name(d));
  EXPECT_EQ(native::comm_dlg_extended_error(), native::FNERR_BUFFERTOOSMALL);
  EXPECT_EQ(std::u16string(file), u"/abc");
  EXPECT_EQ(file[5], u'#');
}

TEST_F(DialogTest, WindowsBelongToThisProcessWhileTheyLive) {
  native::Window* mine = make_window(50, 50);
  std::uint32_t process = 0;
  EXPECT_EQ(native::get_window_thread_process_id(mine, &process), native::get_current_thread_id());
  EXPECT_EQ(process, static_cast<std::uint32_t>(getpid()));

  native::destroy_window(mine);
  EXPECT_EQ(native::get_window_thread_process_id(mine, &process), 0u);
  EXPECT_EQ(process, 0u);
}

TEST(CurrentDirectory, ATooSmallRoomIsLeftUntouched) {
  std::u16string cwd = native::from_utf8(std::filesystem::current_path().string());
  std::u16string room(cwd.size() + 1, u'#');
  std::uint32_t needed = native::get_current_directory(static_cast<std::uint32_t>(cwd.size()), room.data());
  EXPECT_EQ(needed, cwd.size() + 1);
  EXPECT_EQ(room, std::u16string(cwd.size() + 1, u'#'));
  EXPECT_EQ(native::get_current_directory(static_cast<std::uint32_t>(room.size()), room.data()), cwd.size());
  EXPECT_EQ(room.back(), u'\0');
}

}  // namespace
