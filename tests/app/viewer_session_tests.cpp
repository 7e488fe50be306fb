// Whole-program sessions: the viewer runs in-process on the headless window
// system; the user's actions and the dialogs' answers are scripted, and each
// scripted step runs when the program next waits for input.
#include "app/viewer.h"
#include "app/viewer_commands.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "screen/sam_palette.h"
#include "screen/screen_file.h"
#include "screen/viewer_state.h"
#include "ui/canvas.h"
#include "ui/gadgets.h"
#include "ui/windows.h"

#include "native/backends/headless/headless.h"
#include "native/system/faults.h"
#include "native/system/text.h"
#include "native/windowing/input_state.h"
#include "native/windowing/window.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace headless = native::headless;
namespace fs = std::filesystem;

// A screen whose pixel (x, y) has value (x / 16 + y / 12) % 16, look-up entry
// i pointing at palette index 7 × i + 3, and entry 5 changed to 100 from
// row 120 down.
std::vector<std::uint8_t> test_screen() {
  std::vector<std::uint8_t> bytes(LINE_TABLE_OFFSET, 0);
  for (int y = 0; y < 192; ++y)
    for (int x = 0; x < 256; x += 2) {
      int a = (x / 16 + y / 12) % 16, b = ((x + 1) / 16 + y / 12) % 16;
      bytes[static_cast<std::size_t>(y * 128 + x / 2)] = static_cast<std::uint8_t>(a << 4 | b);
    }
  for (int i = 0; i < 16; ++i) bytes[CLUT_OFFSET + i] = static_cast<std::uint8_t>(7 * i + 3);
  bytes.insert(bytes.end(), {119, 5, 100, 0, LINE_TABLE_END});
  return bytes;
}

// The picture the test screen must give, as 0x00RRGGBB, from the palette
// formula alone.
std::uint32_t expected_pixel(int x, int y) {
  int value = (x / 16 + y / 12) % 16;
  int index = value == 5 && y >= 120 ? 100 : 7 * value + 3;
  Colour c = sam_colour(index);
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Picture read_png(const std::string& path) {
  Picture picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
    picture.pixels.push_back(static_cast<std::uint32_t>(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  return picture;
}

native::Window* canvas() { return gadget_handle(0); }

// Every canvas pixel against what the scale should show.
bool canvas_shows(int scale) {
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 512; ++x) {
      std::uint32_t want = 0;
      if (scale == 2) {
        want = expected_pixel(x / 2, y / 2);
      } else if (x >= 128 && x < 384 && y >= 96 && y < 288) {
        want = expected_pixel(x - 128, y - 96);
      }
      if (headless::pixel(canvas(), x, y) != want) {
        ADD_FAILURE() << "canvas (" << x << ", " << y << ") at scale " << scale;
        return false;
      }
    }
  return true;
}

class ViewerSession : public ::testing::Test {
 protected:
  void SetUp() override {
    native::faults::reset();
    std::string pattern = (fs::temp_directory_path() / "tesselon-session-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    headless::install();
    write(path("title.ss4"), test_screen());
  }
  void TearDown() override {
    native::shutdown();
    fs::remove_all(folder);
  }
  std::string path(const std::string& name) const { return folder + "/" + name; }
  std::u16string path16(const std::string& name) const { return native::from_utf8(path(name)); }
  static void write(const std::string& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // Schedules the steps, ending with the close box, and runs the viewer.
  int run(const std::u16string& command_line, std::vector<std::function<void()>> steps) {
    for (auto& step : steps) headless::schedule(step);
    headless::schedule([] { headless::click_close_box(window_handle(0)); });
    return run_viewer(command_line);
  }
  static void choose(std::uint16_t item) { headless::choose_menu_item(window_handle(0), item); }
  std::string folder;
};

TEST_F(ViewerSession, StartsOnTheFileCentredOnTopAtDoubleSize) {
  bool checked = false;
  EXPECT_EQ(run(u"tesselon " + path16("title.ss4"), {[&] {
                  native::Window* window = window_handle(0);
                  native::Rect outer = native::get_window_rect(window);
                  EXPECT_EQ(outer.left, (headless::SCREEN_WIDTH - (outer.right - outer.left)) / 2);
                  EXPECT_EQ(outer.top, (headless::SCREEN_HEIGHT - (outer.bottom - outer.top)) / 2);
                  EXPECT_TRUE(native::get_window_long(window, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST);
                  native::Rect client = native::get_client_rect(window);
                  EXPECT_EQ(client.right, 512);
                  EXPECT_EQ(client.bottom, 384);
                  EXPECT_EQ(native::get_window_text(window), u"Tesselon");
                  checked = canvas_shows(2);
                }}),
            0);
  EXPECT_TRUE(checked);
}

TEST_F(ViewerSession, ScaleItemsSwitchAndTheCheckedOneDoesNothing) {
  bool x1 = false, x2 = false;
  std::uint32_t after_checked = 0;
  run(u"tesselon " + path16("title.ss4"), {[] { choose(MENU_SCALE_1); },
                                           [&] {
                                             x1 = canvas_shows(1);
                                             // Paint over the canvas: choosing the checked item must leave it.
                                             start_drawing(canvas_output(0));
                                             box(0, 0, 4, 4, 0x0000FF);
                                             stop_drawing();
                                             choose(MENU_SCALE_1);
                                           },
                                           [&] {
                                             after_checked = headless::pixel(canvas(), 1, 1);
                                             choose(MENU_SCALE_2);
                                           },
                                           [&] { x2 = canvas_shows(2); }});
  EXPECT_TRUE(x1);
  EXPECT_EQ(after_checked, 0xFF0000u);
  EXPECT_TRUE(x2);
}

TEST_F(ViewerSession, CtrlOAsksInTheCurrentFolderAndShowsTheAnswer) {
  headless::answer_file_dialogs({path16("title.ss4")});
  bool shown = false;
  native::Window* main_window = nullptr;
  run(u"tesselon", {[&] {
                      main_window = window_handle(0);
                      headless::press_key('O', headless::MOD_CONTROL);
                    },
                    [&] { shown = canvas_shows(2); }});
  ASSERT_EQ(headless::file_dialogs().size(), 1u);
  const native::FileDialogRequest& asked = headless::file_dialogs()[0].request;
  EXPECT_FALSE(asked.save);
  EXPECT_EQ(asked.title, u"Please choose file to load");
  std::string cwd = fs::current_path().string();
  EXPECT_EQ(asked.folder, native::from_utf8(cwd));
  EXPECT_EQ(asked.file, u"");
  EXPECT_EQ(asked.filters,
            (std::vector<native::FileFilter>{{u"Screen mode 4 (*.ss4)", u"*.ss4"}, {u"All files (*.*)", u"*.*"}}));
  EXPECT_EQ(asked.filter_index, 1u);
  EXPECT_TRUE(shown);
  // While the dialog was up the always-on-top window was out of the band.
  EXPECT_TRUE(headless::file_dialogs()[0].window(main_window).visible);
  EXPECT_FALSE(headless::file_dialogs()[0].window(main_window).topmost);
}

// What is shown stays what is loaded: a refused file changes nothing, so
// the scale items and the save go on working on the screen still shown.
TEST_F(ViewerSession, ARefusedFileLeavesTheShownScreenLoaded) {
  std::vector<std::uint8_t> small = test_screen();
  small.resize(24616);
  write(path("small.ss4"), small);
  headless::answer_file_dialogs({path16("small.ss4"), std::nullopt});  // then the save is cancelled
  bool kept = false, single = false;
  run(u"tesselon " + path16("title.ss4"), {[] { headless::press_key('O', headless::MOD_CONTROL); },
                                           [&] {
                                             kept = canvas_shows(2);
                                             choose(MENU_SCALE_1);
                                           },
                                           [&] {
                                             single = canvas_shows(1);
                                             headless::press_key('S', headless::MOD_CONTROL);
                                           }});
  ASSERT_EQ(headless::message_boxes().size(), 1u);
  EXPECT_EQ(headless::message_boxes()[0].request.title, u"Wrong size");
  EXPECT_EQ(headless::message_boxes()[0].request.text, u"Bad size or file not exists\n" + path16("small.ss4"));
  EXPECT_TRUE(kept);
  EXPECT_TRUE(single);
  ASSERT_EQ(headless::file_dialogs().size(), 2u);
  EXPECT_EQ(headless::file_dialogs()[1].request.file, u"title");
}

// A save that fails says why and where, and leaves the folder as it was;
// the root folder is a folder like any other for the dialogs.
TEST_F(ViewerSession, AFailedSaveIsReportedAndTheRootIsAFolder) {
  fs::create_directory(path("folder.png"));
  headless::answer_file_dialogs({path16("missing/shot"), path16("folder.png")});
  run(u"tesselon " + path16("title.ss4"), {[] { headless::press_key('S', headless::MOD_CONTROL); },
                                           [] { headless::press_key('S', headless::MOD_CONTROL); }});
  ASSERT_EQ(headless::message_boxes().size(), 2u);
  EXPECT_EQ(headless::message_boxes()[0].request.title, u"Save image");
  EXPECT_EQ(headless::message_boxes()[0].request.text, u"No such file or directory\n" + path16("missing/shot.png"));
  EXPECT_EQ(headless::message_boxes()[1].request.text, u"Is a directory\n" + path16("folder.png"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);  // nothing new

  headless::install();
  fs::path before = fs::current_path();
  fs::current_path("/");
  run(u"tesselon", {[] { headless::press_key('O', headless::MOD_CONTROL); }});
  fs::current_path(before);
  ASSERT_EQ(headless::file_dialogs().size(), 1u);
  EXPECT_EQ(headless::file_dialogs()[0].request.folder, u"/");
}

TEST_F(ViewerSession, SavingCutsTheNameAddsPngAndWritesThePicture) {
  headless::answer_file_dialogs({path16("shot")});
  run(u"tesselon " + path16("title.ss4"), {[] { headless::press_key('S', headless::MOD_CONTROL); }});
  ASSERT_EQ(headless::file_dialogs().size(), 1u);
  const native::FileDialogRequest& asked = headless::file_dialogs()[0].request;
  EXPECT_TRUE(asked.save);
  EXPECT_EQ(asked.title, u"Please choose file to save");
  EXPECT_EQ(asked.folder, native::from_utf8(folder));
  EXPECT_EQ(asked.file, u"title");
  EXPECT_EQ(asked.filters, (std::vector<native::FileFilter>{{u"Portable Network Graphics (*.png)", u"*.png"}}));
  Picture saved = read_png(path("shot.png"));
  ASSERT_EQ(saved.width, 512);
  ASSERT_EQ(saved.height, 384);
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 512; ++x) ASSERT_EQ(saved.at(x, y), expected_pixel(x / 2, y / 2)) << x << ", " << y;
}

TEST_F(ViewerSession, SavingBeforeAnythingIsLoadedWritesBlack) {
  headless::answer_file_dialogs({path16("empty.PNG")});
  run(u"tesselon", {[] { headless::press_key('S', headless::MOD_CONTROL); }});
  ASSERT_EQ(headless::file_dialogs().size(), 1u);
  EXPECT_EQ(headless::file_dialogs()[0].request.file, u"");
  Picture saved = read_png(path("empty.PNG"));
  ASSERT_EQ(saved.width, 512);
  ASSERT_EQ(saved.height, 384);
  for (std::uint32_t p : saved.pixels) ASSERT_EQ(p, 0u);
}

TEST_F(ViewerSession, DroppingThreeFilesOpensTheFirst) {
  write(path("other.ss4"), std::vector<std::uint8_t>(30000, 0));
  bool shown = false;
  run(u"tesselon", {[&] {
                      std::uint32_t effect =
                          headless::drop_files(headless::client_point(canvas(), 20, 20),
                                               {path16("title.ss4"), path16("other.ss4"), path16("missing.ss4")});
                      EXPECT_EQ(effect, 1u);
                    },
                    [&] { shown = canvas_shows(2); }});
  EXPECT_TRUE(shown);
  EXPECT_TRUE(headless::message_boxes().empty());
}

// Names are bytes: whatever a name holds, it reaches the loader unchanged
// from the process's arguments, the file dialog and a drop.
TEST_F(ViewerSession, NamesOfAnyBytesOpenFromEveryDoor) {
  for (const std::string name : {"caf\xE9.ss4", "with \"quotes\".ss4", "\xC0\xAE\xC0\xAF x.ss4", "line\nfeed.ss4"}) {
    SCOPED_TRACE(name);
    write(path(name), test_screen());
    headless::install();
    bool shown = false;
    headless::schedule([&] { shown = canvas_shows(2) && viewer_state().file_name == path16(name); });
    headless::schedule([] { headless::click_close_box(window_handle(0)); });
    run_viewer(std::vector<std::u16string>{u"tesselon", path16(name)});
    EXPECT_TRUE(shown) << "command line";

    headless::install();
    headless::answer_file_dialogs({path16(name)});
    shown = false;
    run(u"tesselon", {[] { headless::press_key('O', headless::MOD_CONTROL); },
                      [&] {
                        shown = canvas_shows(2);
                        headless::drop_files(headless::client_point(canvas(), 9, 9), {path16(name)});
                      },
                      [&] { shown = shown && viewer_state().file_name == path16(name); }});
    EXPECT_TRUE(shown) << "dialog and drop";
    EXPECT_TRUE(headless::message_boxes().empty());
  }
}

TEST_F(ViewerSession, TheOpenDialogStartsInACurrentFolderOfAnyBytes) {
  fs::create_directory(path("d\xE9j\xE0"));
  fs::path before = fs::current_path();
  fs::current_path(path("d\xE9j\xE0"));
  run(u"tesselon", {[] { headless::press_key('O', headless::MOD_CONTROL); }});
  fs::current_path(before);
  ASSERT_EQ(headless::file_dialogs().size(), 1u);
  EXPECT_EQ(native::to_utf8(headless::file_dialogs()[0].request.folder), path("d\xE9j\xE0"));
}

TEST_F(ViewerSession, QuitEscapeAndTheCloseBoxEndTheProgram) {
  headless::schedule([] { choose(MENU_QUIT); });
  EXPECT_EQ(run_viewer(u"tesselon"), 0);
  headless::install();
  headless::schedule([] {
    headless::key_down(native::VK_ESCAPE);
    headless::mouse_move(headless::client_point(canvas(), 30, 30));
  });
  EXPECT_EQ(run_viewer(u"tesselon"), 0);
  headless::install();
  EXPECT_EQ(run(u"tesselon", {}), 0);  // the close box
}

TEST_F(ViewerSession, AnEmptyCommandLineLoadsAnEmptyNameAndSaysSo) {
  run(u"", {});
  ASSERT_EQ(headless::message_boxes().size(), 1u);
  EXPECT_EQ(headless::message_boxes()[0].request.text, u"Bad size or file not exists\n");
}

}  // namespace
