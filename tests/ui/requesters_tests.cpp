#include "ui_fixture.h"

#include "ui/modal.h"
#include "ui/requesters.h"
#include "ui/windows.h"

#include "native/backends/headless/headless.h"
#include "native/system/faults.h"
#include "native/system/text.h"
#include "native/windowing/dialogs.h"
#include "native/windowing/window.h"

#include <unistd.h>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace {

namespace headless = native::headless;

constexpr std::u16string_view SCREEN_PATTERN = u"Screen mode 4 (*.ss4)|*.ss4|All files (*.*)|*.*";
constexpr std::uint32_t VIEWER_FLAGS = 0x00CA0001;

std::u16string getcwd16() { return native::from_utf8(std::filesystem::current_path().string()); }

// Puts the process back where it was, whatever a test did to its directory.
class DirectoryGuard {
 public:
  DirectoryGuard() : saved_(std::filesystem::current_path()) {}
  ~DirectoryGuard() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

class RequestersTest : public UiTest {
 protected:
  // The viewer's window: on top of everything, in front.
  native::Window* open_main() {
    open_window(0, 0, 0, 512, 404, u"Tesselon", VIEWER_FLAGS);
    set_window_stay_on_top(0, true);
    headless::activate(window_handle(0));
    return window_handle(0);
  }

  static const native::FileDialogRequest& last_request() { return headless::file_dialogs().back().request; }
};

TEST_F(RequestersTest, DefaultFileSplitsAtTheLastSlashIntoFolderAndFileBox) {
  std::u16string long_part(REQUESTER_PATH_ROOM + 40, u'a');
  struct Case {
    std::u16string default_file, folder, file;
  } cases[] = {
      {u"/dir/", u"/dir", u""},  // what current_directory gives
      {u"/home/me/title", u"/home/me", u"title"},
      {u"/a.b/c.d/shot.x", u"/a.b/c.d", u"shot.x"},
      {u"pic", u"", u"pic"},
      {u"/pics/what?", u"/pics", u""},
      {u"/pics/c:d", u"/pics", u""},
      {u"/pics/back\\slash", u"/pics", u""},
      {u"/pics/tab\there", u"/pics", u""},
      {u"/", u"/", u""},  // the root folder, as current_directory gives it there
      {u"/pic", u"/", u"pic"},
      {u"", u"", u""},
      {u"/x/" + long_part, u"/x", long_part.substr(0, REQUESTER_PATH_ROOM - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(native::to_utf8(c.default_file));
    open_file_requester(u"Title", c.default_file, SCREEN_PATTERN, 0);
    ASSERT_FALSE(headless::file_dialogs().empty());
    EXPECT_EQ(native::to_utf8(last_request().folder), native::to_utf8(c.folder));
    EXPECT_EQ(native::to_utf8(last_request().file), native::to_utf8(c.file));
  }
}

TEST_F(RequestersTest, TheDialogGetsTitleFiltersIndexAndFlags) {
  open_file_requester(u"Please choose file to load", u"/pics/", SCREEN_PATTERN, 0);
  const native::FileDialogRequest& open = last_request();
  EXPECT_EQ(open.title, u"Please choose file to load");
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.filters,
            (std::vector<native::FileFilter>{{u"Screen mode 4 (*.ss4)", u"*.ss4"}, {u"All files (*.*)", u"*.*"}}));
  EXPECT_EQ(open.filter_index, 1u);
  EXPECT_EQ(open.flags, 0x8080Cu);
  EXPECT_EQ(open.max_path, 4095u);

  save_file_requester(u"Please choose file to save", u"", u"Portable Network Graphics (*.png)|*.png", 0);
  const native::FileDialogRequest& save = last_request();
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.filters, (std::vector<native::FileFilter>{{u"Portable Network Graphics (*.png)", u"*.png"}}));

  open_file_requester(u"", u"", SCREEN_PATTERN, 1);
  EXPECT_EQ(last_request().filter_index, 2u);
  open_file_requester(u"", u"", u"", 0);
  EXPECT_TRUE(last_request().filters.empty());
  // The largest index must not overflow on its way to the dialog.
  open_file_requester(u"", u"", SCREEN_PATTERN, 0x7FFFFFFF);
  EXPECT_EQ(last_request().filter_index, 0x80000000u);
}

TEST_F(RequestersTest, AnswersThePathChosenAndEmptyTextOtherwise) {
  // Nobody answers: cancelled.
  EXPECT_EQ(open_file_requester(u"t", u"/pics/", SCREEN_PATTERN, 0), u"");
  // Linux paths run to 4,095 bytes.
  std::u16string fits = u"/" + std::u16string(4094, u'f');
  std::u16string too_long = u"/" + std::u16string(4095, u'l');
  headless::answer_file_dialogs({u"/pics/title.ss4", std::nullopt, fits, too_long});
  EXPECT_EQ(open_file_requester(u"t", u"/pics/", SCREEN_PATTERN, 0), u"/pics/title.ss4");
  EXPECT_EQ(save_file_requester(u"t", u"/pics/title", u"", 0), u"");
  EXPECT_EQ(save_file_requester(u"t", u"/pics/title", u"", 0), fits);
  // Cut short it would name another file.
  EXPECT_EQ(save_file_requester(u"t", u"/pics/title", u"", 0), u"");
}

TEST_F(RequestersTest, OutOfMemoryShowsNoDialogAndLeavesTheNextCallWorking) {
  headless::answer_file_dialogs({u"/a", u"/b", u"/c"});
  // File buffer, filter list, folder copy: each failing in turn.
  for (std::size_t succeed = 0; succeed < 3; ++succeed) {
    SCOPED_TRACE(succeed);
    native::faults::fail_allocations_after(succeed);
    EXPECT_EQ(open_file_requester(u"t", u"/pics/x", SCREEN_PATTERN, 0), u"");
    native::faults::reset();
  }
  EXPECT_TRUE(headless::file_dialogs().empty());
  EXPECT_EQ(open_file_requester(u"t", u"/pics/x", SCREEN_PATTERN, 0), u"/a");
}

// The state of the windows while a box was up, and the box's owner.
struct BoxSeen {
  std::vector<headless::WindowState> windows;
  native::Window* owner;
  headless::WindowState of(native::Window* w) const {
    for (const auto& s : windows)
      if (s.window == w) return s;
    return {};
  }
};

BoxSeen show_file_box() {
  open_file_requester(u"t", u"", SCREEN_PATTERN, 0);
  const auto& r = headless::file_dialogs().back();
  return {r.windows, r.request.owner};
}

BoxSeen show_message_box() {
  EXPECT_EQ(message_box(u"Wrong size", u"Bad size or file not exists\n/x", 0), native::IDOK);
  const auto& r = headless::message_boxes().back();
  EXPECT_EQ(r.request.title, u"Wrong size");
  EXPECT_EQ(r.request.text, u"Bad size or file not exists\n/x");
  return {r.windows, r.request.owner};
}

TEST_F(RequestersTest, BoxesAreModalOverTheOtherWindowsAndLiftTheTopmostOne) {
  open_window(1, 10, 10, 100, 100, u"Disabled", VIEWER_FLAGS);
  open_window(2, 20, 20, 100, 100, u"Plain", VIEWER_FLAGS);
  open_window(3, 30, 30, 100, 100, u"Hidden", VIEWER_FLAGS | WINDOW_INVISIBLE);
  // Another thread's window is that thread's business.
  std::thread([] { open_window(4, 40, 40, 100, 100, u"Theirs", VIEWER_FLAGS); }).join();
  native::Window* main = open_main();
  native::Window* theirs = window_handle(4);
  native::Window* disabled = window_handle(1);
  native::Window* plain = window_handle(2);
  native::Window* hidden = window_handle(3);
  native::enable_window(disabled, false);

  for (auto show : {&show_file_box, &show_message_box}) {
    BoxSeen seen = show();
    EXPECT_EQ(seen.owner, main);
    EXPECT_FALSE(seen.of(main).topmost);
    EXPECT_FALSE(seen.of(main).enabled);  // as the box's owner
    EXPECT_FALSE(seen.of(plain).enabled);
    EXPECT_FALSE(seen.of(disabled).enabled);
    EXPECT_TRUE(seen.of(hidden).enabled);  // not visible, left alone
    EXPECT_TRUE(seen.of(theirs).enabled);

    EXPECT_TRUE(native::get_window_long(main, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);
    EXPECT_EQ(native::top_level_windows().front(), main);
    EXPECT_TRUE(native::is_window_enabled(main));
    EXPECT_TRUE(native::is_window_enabled(plain));
    EXPECT_FALSE(native::is_window_enabled(disabled));
    EXPECT_EQ(native::get_active_window(), main);
    EXPECT_TRUE(modal_windows().empty());
  }
}

TEST_F(RequestersTest, WithAnotherProgramInFrontTheMainWindowIsDisabledUntilTheBoxCloses) {
  native::Window* main = open_main();
  headless::activate_other_program();
  BoxSeen file = show_file_box();
  // The file requester asks for its owner first, while the other program
  // is still in front...
  EXPECT_EQ(file.owner, nullptr);
  EXPECT_FALSE(file.of(main).enabled);
  EXPECT_FALSE(file.of(main).topmost);
  EXPECT_TRUE(native::is_window_enabled(main));
  EXPECT_TRUE(native::get_window_long(main, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);

  headless::activate_other_program();
  BoxSeen box = show_message_box();
  // ...the message box after lifting the main window out of the band has
  // brought it to the front.
  EXPECT_EQ(box.owner, main);
  EXPECT_FALSE(box.of(main).enabled);
  EXPECT_TRUE(native::is_window_enabled(main));
}

TEST_F(RequestersTest, CurrentDirectoryEndsInASlashHoweverLong) {
  DirectoryGuard guard;
  ASSERT_EQ(chdir("/"), 0);
  EXPECT_EQ(current_directory(), u"/");

  ASSERT_EQ(chdir(temp_path("").c_str()), 0);
  for (int depth = 0; depth < 35; ++depth) {
    std::filesystem::create_directory(std::string(100, 'd'));
    ASSERT_EQ(chdir(std::string(100, 'd').c_str()), 0);
  }
  ASSERT_GT(getcwd16().size(), 3500u);
  EXPECT_EQ(current_directory(), getcwd16() + u"/");
  open_file_requester(u"t", current_directory(), SCREEN_PATTERN, 0);
  EXPECT_EQ(last_request().folder, getcwd16());
}

TEST_F(RequestersTest, NoRequesterChangesTheCurrentDirectory) {
  DirectoryGuard guard;
  std::u16string before = current_directory();
  std::string elsewhere = temp_path("");
  // A dialog that browses by moving the process's directory.
  headless::on_file_dialog([&](const native::FileDialogRequest&) -> std::optional<std::u16string> {
    std::filesystem::current_path(elsewhere);
    return u"/pics/shot";
  });
  EXPECT_EQ(open_file_requester(u"t", before, SCREEN_PATTERN, 0), u"/pics/shot");
  EXPECT_EQ(current_directory(), before);
  EXPECT_EQ(save_file_requester(u"t", before, SCREEN_PATTERN, 0), u"/pics/shot");
  EXPECT_EQ(current_directory(), before);
}

}  // namespace
