#include "app/viewer.h"

#include "app/command_line.h"
#include "app/viewer_commands.h"
#include "app/viewer_services.h"

#include "export/png_writer.h"
#include "image/images.h"
#include "runtime/general_heap.h"
#include "screen/sam_palette.h"
#include "screen/screen_file.h"
#include "screen/screen_view.h"
#include "ui/canvas.h"
#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/event_wait.h"
#include "ui/keyboard_shortcuts.h"
#include "ui/menus.h"
#include "ui/windows.h"

#include "native/windowing/input_state.h"
#include "native/windowing/window.h"

namespace {

// Caption, system menu and minimise box, centred on the screen.
constexpr std::uint32_t WINDOW_FLAGS = 0x00CA0001;
constexpr std::int32_t FILE_LIST_FORMAT = 15;
constexpr std::uint32_t COPY = 1;

void build_menu() {
  if (!create_menu(0, window_handle(0))) return;  // the viewer runs on without one
  menu_title(u"File");
  menu_item(MENU_OPEN, u"Open...\tCtrl+O");
  menu_item(MENU_SAVE, u"Save image...\tCtrl+S");
  menu_bar();
  menu_item(MENU_QUIT, u"Quit\tEsc");
  menu_title(u"Mode");
  menu_item(MENU_SCALE_1, u"x1");
  menu_item(MENU_SCALE_2, u"x2");
  set_menu_item_state(0, MENU_SCALE_2, true);
  add_keyboard_shortcut(0, SHORTCUT_CONTROL | 'O', MENU_OPEN);
  add_keyboard_shortcut(0, SHORTCUT_CONTROL | 'S', MENU_SAVE);
}

bool escape_held() { return native::get_async_key_state(native::VK_ESCAPE) & 0x8000; }

void event_loop() {
  while (true) {
    std::int32_t code = wait_window_event();
    // Sampled as each event arrives, whichever window has the keyboard.
    if (escape_held()) return;
    if (code == EVENT_MENU) {
      switch (event_object()) {
        case MENU_OPEN: open_command(); break;
        case MENU_SAVE: save_command(); break;
        case MENU_QUIT: return;
        case MENU_SCALE_1:
        case MENU_SCALE_2: scale_command(static_cast<std::int32_t>(event_object())); break;
        default: break;
      }
    } else if (code == EVENT_GADGET_DROP) {
      drop_command();
    }
    if (code == EVENT_CLOSE_WINDOW) return;
  }
}

template <typename CommandLine>
int run(const CommandLine& command_line) {
  create_general_heap();
  start_runtime_services(viewer_services());
  set_command_line(command_line);
  init_screen_state();
  register_png_encoder();

  int menu_height = native::get_system_metrics(native::SM_CYMENU);
  if (open_window(0, 0, 0, CANVAS_WIDTH, CANVAS_HEIGHT + menu_height, u"Tesselon", WINDOW_FLAGS)) {
    create_canvas(0, 0, 0, CANVAS_WIDTH, CANVAS_HEIGHT);
    enable_gadget_drop(0, FILE_LIST_FORMAT, COPY);
    create_image(0, CANVAS_WIDTH, CANVAS_HEIGHT);
    set_window_stay_on_top(0, true);
    build_palette();
    build_menu();
    if (command_line_count() != 0) {
      load_screen(command_line_argument(0));
      render_screen();
    }
    event_loop();
  }

  release_screen_state();
  if (is_image(0)) free_image(0);
  stop_runtime_services(viewer_services());
  destroy_general_heap();
  return 0;
}

}  // namespace

int run_viewer(std::u16string_view command_line_text) { return run(command_line_text); }

int run_viewer(const std::vector<std::u16string>& arguments) { return run(arguments); }
