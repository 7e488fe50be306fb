#include "ui_fixture.h"

#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/gadgets.h"
#include "ui/event_wait.h"
#include "ui/menus.h"
#include "ui/windows.h"

#include "image/drawing_context.h"
#include "image/images.h"
#include "native/backends/headless/headless.h"
#include "native/window.h"

std::ostream& operator<<(std::ostream& out, const SeenEvent& e) {
  return out << "{" << e.code << ", object " << e.object << ", window " << e.window << ", type " << e.type << "}";
}

void UiTest::SetUp() {
  RuntimeTest::SetUp();
  native::headless::install();
  init_image_services();
  init_images();
  init_drawing();
  init_events();
  init_windows();
  init_gadgets();
  init_ole();
  init_menus();
}

void UiTest::TearDown() {
  free_menu(OBJECT_ANY);
  shutdown_ole();
  shutdown_gadgets();
  shutdown_windows();
  shutdown_events();
  free_all_images();
  shutdown_image_services();
  native::shutdown();
  RuntimeTest::TearDown();
}

std::vector<SeenEvent> UiTest::events() {
  std::vector<SeenEvent> seen;
  while (std::int32_t answer = wait_window_event(0)) {
    if (answer >= EVENT_GADGET && answer <= EVENT_SIZE_WINDOW)
      seen.push_back({answer, event_object(), event_window(), event_type()});
  }
  return seen;
}

std::vector<std::int32_t> UiTest::answers() {
  std::vector<std::int32_t> all;
  while (std::int32_t answer = wait_window_event(0)) all.push_back(answer);
  return all;
}
