#include "gadget_fixture.h"

#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/gadget_list.h"
#include "ui/window_services.h"
#include "ui/windows.h"

#include "image/images.h"
#include "native/backends/headless/headless.h"
#include "native/graphics/gdi_object.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/window.h"

namespace {

constexpr char16_t PARENT_CLASS[] = u"GadgetTestParent";

std::intptr_t parent_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  return native::def_window_proc(window, message, wparam, lparam);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << "{" << seen.code << ", object " << seen.object << ", window " << seen.window << ", type " << seen.type
             << ", wheel " << seen.wheel << ", input " << seen.input << ", key " << seen.key << "}";
}

void GadgetTest::SetUp() {
  RuntimeTest::SetUp();
  native::headless::install();
  start_runtime_services(gadget_services());
  native::WindowClassInfo info{};
  info.procedure = parent_procedure;
  info.name = PARENT_CLASS;
  ASSERT_TRUE(native::register_class(info));
  parent_ = native::create_window(0, PARENT_CLASS, u"Gadgets", native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE, 100,
                                  100, 700, 500, nullptr, nullptr, 0);
  ASSERT_NE(parent_, nullptr);
  native::set_prop(parent_, WINDOW_ID_PROPERTY, reinterpret_cast<void*>(1));
  use_gadget_list(parent_);
  pump();
  while (take_event()) {
  }
}

void GadgetTest::TearDown() {
  stop_drawing();
  native::destroy_window(parent_);
  stop_runtime_services(gadget_services());
  native::shutdown();
  EXPECT_EQ(native::live_object_count(native::ObjectType::bitmap), 0u);
  EXPECT_EQ(native::live_object_count(native::ObjectType::dc), 0u);
  EXPECT_EQ(native::live_object_count(native::ObjectType::brush), 0u);
  RuntimeTest::TearDown();
}

native::Point GadgetTest::on_screen(native::Window* window, int x, int y) const {
  return native::headless::client_point(window, x, y);
}

void pump() {
  native::Message message;
  while (native::peek_message(message, nullptr, 0, 0, native::PM_REMOVE)) {
    native::translate_message(message);
    native::dispatch_message(message);
  }
}

std::vector<Seen> events() {
  // As the event wait does: queued events are taken before the next message
  // is dispatched, so equal neighbours from different messages never meet in
  // the queue.
  std::vector<Seen> seen;
  for (;;) {
    while (take_event()) {
      Seen s{event_code(), event_object(), event_window(), event_type()};
      if (event_code() == EVENT_GADGET && event_data()) {
        const auto* data = static_cast<const CanvasEventData*>(event_data());
        s.wheel = data->wheel;
        s.input = data->input;
        s.key = data->key;
      }
      seen.push_back(s);
    }
    native::Message message;
    if (!native::peek_message(message, nullptr, 0, 0, native::PM_REMOVE)) break;
    native::translate_message(message);
    native::dispatch_message(message);
  }
  return seen;
}
