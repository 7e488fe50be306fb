#include "ui_fixture.h"

#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/event_wait.h"
#include "ui/gadgets.h"
#include "ui/menus.h"
#include "ui/window_services.h"
#include "ui/windows.h"

#include "image/drawing_context.h"
#include "image/images.h"
#include "native/backends/headless/headless.h"
#include "native/windowing/window.h"

std::ostream& operator<<(std::ostream& out, const SeenEvent& e) {
  return out << "{" << e.code << ", object " << e.object << ", window " << e.window << ", type " << e.type << "}";
}

void UiTest::SetUp() {
  RuntimeTest::SetUp();
  native::headless::install();
  start_runtime_services(services());
}

void UiTest::TearDown() {
  free_menu(OBJECT_ANY);
  stop_runtime_services(services());
  native::shutdown();
  RuntimeTest::TearDown();
}

RuntimeServices UiTest::services() const {
  RuntimeServices s;
  s.text = s.memory_blocks = s.files = false;
  s.window = window_services();
  s.window.requesters = {};
  return s;
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
