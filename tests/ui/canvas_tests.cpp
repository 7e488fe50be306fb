// Canvas gadgets: the backing store, what the window shows, drawing passes,
// resizing, attributes, and the gadget layer under them.
#include "gadget_fixture.h"

#include "ui/event_queue.h"
#include "ui/gadget_list.h"
#include "ui/window_procedure.h"

#include "image/drawing.h"
#include "image/images.h"
#include "native/graphics/bitmap.h"
#include "native/graphics/device_context.h"
#include "native/system/faults.h"
#include "native/windowing/input_state.h"
#include "native/windowing/paint.h"
#include "native/windowing/window.h"

namespace {

constexpr std::uint32_t WHITE = 0xFFFFFF;
constexpr std::uint32_t RED_BGR = 0x0000FF;  // as drawing colours are given
constexpr std::uint32_t RED = 0xFF0000;      // as the surface answers

native::Bitmap* backing_store(ObjectId canvas) {
  return reinterpret_cast<native::Bitmap*>(get_canvas_attribute(canvas, CANVAS_ATTRIBUTE_BITMAP));
}

struct Size {
  int width, height;
  bool operator==(const Size&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Size& s) { return out << s.width << " x " << s.height; }

Size size_of(const native::Bitmap* bitmap) { return bitmap ? Size{bitmap->width, bitmap->height} : Size{0, 0}; }

using CanvasTest = GadgetTest;

TEST_F(CanvasTest, NewCanvasIsWhiteInMemoryAndOnScreen) {
  ASSERT_NE(create_canvas(0, 0, 0, 512, 384), 0);
  native::Bitmap* store = backing_store(0);
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(size_of(store), (Size{512, 384}));
  EXPECT_EQ(store->bits_per_pixel, 24);
  EXPECT_FALSE(store->top_down);
  EXPECT_EQ(store->stride, 1536u);
  bool all_white = true;
  for (std::size_t i = 0; i < store->stride * 384; ++i) all_white = all_white && store->bits[i] == 0xFF;
  EXPECT_TRUE(all_white);

  pump();
  native::Window* window = gadget_handle(0);
  EXPECT_EQ(native::surface_pixel(window, 0, 0), WHITE);
  EXPECT_EQ(native::surface_pixel(window, 511, 383), WHITE);
  EXPECT_EQ(native::surface_pixel(window, 256, 200), WHITE);
}

TEST_F(CanvasTest, BorderTakesFourPixelsEachWayButNeverTheLastOne) {
  const struct {
    int width, height;
    std::uint32_t flags;
    Size store;
  } cases[] = {{100, 50, CANVAS_BORDER, {96, 46}},
               {3, 3, CANVAS_BORDER, {1, 1}},
               {100, 50, 0, {100, 50}},
               {0, 0, 0, {1, 1}},
               {5, 200, CANVAS_BORDER, {1, 196}}};
  std::vector<Size> sizes, expected;
  for (const auto& c : cases) {
    ASSERT_NE(create_canvas(0, 0, 0, c.width, c.height, c.flags), 0);
    sizes.push_back(size_of(backing_store(0)));
    expected.push_back(c.store);
  }
  EXPECT_EQ(sizes, expected);
  EXPECT_EQ(native::get_window_long(gadget_handle(0), native::GWL_EXSTYLE) & native::WS_EX_CLIENTEDGE,
            native::WS_EX_CLIENTEDGE);
}

TEST_F(CanvasTest, EndingADrawingPassShowsThePictureAtOnce) {
  ASSERT_NE(create_canvas(0, 0, 0, 512, 384), 0);
  pump();
  native::Window* window = gadget_handle(0);
  const unsigned batch_limit = native::gdi_get_batch_limit();

  ASSERT_NE(start_drawing(canvas_output(0)), nullptr);
  EXPECT_EQ(native::gdi_get_batch_limit(), 1u);
  box(10, 20, 30, 40, RED_BGR);
  EXPECT_EQ(native::surface_pixel(window, 15, 25), WHITE);  // not shown until the pass ends
  stop_drawing();
  EXPECT_EQ(native::gdi_get_batch_limit(), batch_limit);
  EXPECT_EQ(native::surface_pixel(window, 15, 25), RED);
  EXPECT_EQ(native::surface_pixel(window, 39, 59), RED);
  EXPECT_EQ(native::surface_pixel(window, 40, 60), WHITE);
  EXPECT_EQ(native::surface_pixel(window, 9, 19), WHITE);
}

TEST_F(CanvasTest, AFailedOrAbandonedPassDoesNotRepaint) {
  ASSERT_NE(create_canvas(0, 0, 0, 64, 64), 0);
  pump();
  native::Window* window = gadget_handle(0);
  native::write_pixel(*backing_store(0), 5, 5, RED);  // drawn, but not yet shown

  DrawingContext* failing = canvas_output(0);
  ASSERT_NE(failing, nullptr);
  failing->pixel_address = nullptr;  // a pass cannot start without a buffer
  EXPECT_EQ(start_drawing(failing), nullptr);
  EXPECT_EQ(native::surface_pixel(window, 5, 5), WHITE);

  drop_context(canvas_output(0));
  EXPECT_EQ(native::surface_pixel(window, 5, 5), WHITE);

  ASSERT_NE(start_drawing(canvas_output(0)), nullptr);
  stop_drawing();
  EXPECT_EQ(native::surface_pixel(window, 5, 5), RED);
}

TEST_F(CanvasTest, OutputOnlyForLiveCanvases) {
  EXPECT_EQ(canvas_output(0), nullptr);
  ASSERT_NE(create_canvas(0, 0, 0, 16, 16), 0);
  free_gadget(0);
  EXPECT_EQ(canvas_output(0), nullptr);
  EXPECT_EQ(current_context(), nullptr);
}

TEST_F(CanvasTest, CanvasFreedDuringAPassIsNotPaintedAfterwards) {
  ASSERT_NE(create_canvas(0, 0, 0, 16, 16), 0);
  ASSERT_NE(start_drawing(canvas_output(0)), nullptr);
  free_gadget(0);
  box(0, 0, 16, 16, RED_BGR);  // still draws into the kept buffer
  stop_drawing();
  EXPECT_EQ(gadget_handle(0), nullptr);
}

TEST_F(CanvasTest, ResizeKeepsThePictureAtTheTopLeft) {
  ASSERT_NE(create_canvas(0, 10, 20, 100, 50), 0);
  native::Window* window = gadget_handle(0);
  ASSERT_NE(start_drawing(canvas_output(0)), nullptr);
  box(0, 0, 100, 50, RED_BGR);
  stop_drawing();

  resize_gadget(0, IGNORE_COORDINATE, IGNORE_COORDINATE, 150, 80);
  native::Bitmap* store = backing_store(0);
  EXPECT_EQ(size_of(store), (Size{150, 80}));
  native::Point corner{0, 0};
  native::map_window_points(window, parent(), &corner, 1);
  EXPECT_EQ(corner, (native::Point{10, 20}));
  const std::vector<std::uint32_t> expected{RED, RED, WHITE, WHITE, WHITE};
  std::vector<std::uint32_t> memory, shown;
  for (auto [x, y] : {std::pair{0, 0}, {99, 49}, {100, 49}, {99, 50}, {149, 79}}) {
    memory.push_back(native::read_pixel(*store, x, y) & 0xFFFFFF);
    shown.push_back(native::surface_pixel(window, x, y));
  }
  EXPECT_EQ(memory, expected);
  EXPECT_EQ(shown, expected);

  resize_gadget(0, 0, 0, 40, 30);
  EXPECT_EQ(size_of(backing_store(0)), (Size{40, 30}));
  EXPECT_EQ(native::surface_pixel(window, 39, 29), RED);
}

TEST_F(CanvasTest, NoRoomForTheBackingStore) {
  native::faults::fail_allocations_from(100000);  // any picture, but no record
  EXPECT_EQ(create_canvas(0, 0, 0, 512, 384), 0);
  EXPECT_EQ(gadget_handle(0), nullptr);
  EXPECT_EQ(native::get_window(parent(), native::GW_CHILD), nullptr);
  native::faults::reset();

  ASSERT_NE(create_canvas(0, 0, 0, 100, 50), 0);
  ASSERT_NE(start_drawing(canvas_output(0)), nullptr);
  box(0, 0, 100, 50, RED_BGR);
  stop_drawing();
  native::faults::fail_allocations_from(100000);
  resize_gadget(0, IGNORE_COORDINATE, IGNORE_COORDINATE, 300, 200);
  native::faults::reset();
  native::Bitmap* store = backing_store(0);
  EXPECT_EQ(size_of(store), (Size{100, 50}));
  EXPECT_EQ(native::read_pixel(*store, 99, 49) & 0xFFFFFF, RED);
}

TEST_F(CanvasTest, Attributes) {
  ASSERT_NE(create_canvas(0, 0, 0, 32, 32), 0);
  native::Window* window = gadget_handle(0);
  ASSERT_NE(create_image(1, 4, 2, 24, RED_BGR), 0);
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_BITMAP, image_id(1));
  EXPECT_EQ(native::surface_pixel(window, 3, 1), RED);
  EXPECT_EQ(native::surface_pixel(window, 4, 1), WHITE);
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_BITMAP, 12345);  // not a bitmap: ignored

  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR), 0);
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR, 3);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR), 3);
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR, 12);  // no such cursor
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR), 3);
  native::send_message(window, native::WM_SETCURSOR, 0, 0);
  EXPECT_EQ(native::cursor_id(native::get_cursor()), native::IDC_HAND);
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR, CANVAS_CURSOR_NONE);
  native::send_message(window, native::WM_SETCURSOR, 0, 0);
  EXPECT_EQ(native::get_cursor(), nullptr);

  native::Cursor* cross = native::load_cursor(native::IDC_CROSS);
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR_HANDLE, reinterpret_cast<std::intptr_t>(cross));
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR), -1);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR_HANDLE), reinterpret_cast<std::intptr_t>(cross));
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR_HANDLE, 0x5150);  // made up: ignored
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CURSOR_HANDLE), reinterpret_cast<std::intptr_t>(cross));

  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CLIP, 1);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CLIP), 1);
  EXPECT_EQ(native::get_capture(), window);
  set_canvas_attribute(0, CANVAS_ATTRIBUTE_CLIP, 0);
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_CLIP), 0);
  EXPECT_EQ(native::get_capture(), nullptr);

  // Event attributes need a current event of this canvas.
  EXPECT_EQ(get_canvas_attribute(0, CANVAS_ATTRIBUTE_WHEEL), 0);
  EXPECT_EQ(get_canvas_attribute(0, 99), 0);
  EXPECT_EQ(get_canvas_attribute(5, CANVAS_ATTRIBUTE_BITMAP), 0);
}

TEST_F(CanvasTest, DrawFocusShowsADottedFrameWhileFocused) {
  ASSERT_NE(create_canvas(0, 0, 0, 20, 20, CANVAS_DRAW_FOCUS | CANVAS_KEYBOARD), 0);
  native::Window* window = gadget_handle(0);
  pump();
  EXPECT_EQ(native::surface_pixel(window, 2, 2), WHITE);
  activate_gadget(0);
  EXPECT_EQ(native::get_focus(), window);
  pump();
  EXPECT_EQ(native::surface_pixel(window, 2, 2), 0u);  // inverted white
  EXPECT_EQ(native::surface_pixel(window, 1, 1), WHITE);
  native::set_focus(parent());
  pump();
  EXPECT_EQ(native::surface_pixel(window, 2, 2), WHITE);
}

TEST_F(CanvasTest, FreeingAGadgetRemovesItsQueuedEvents) {
  ASSERT_NE(create_canvas(0, 0, 0, 16, 16), 0);
  ASSERT_NE(create_canvas(1, 20, 0, 16, 16), 0);
  native::Window* first = gadget_handle(0);
  native::set_focus(first);
  native::set_focus(gadget_handle(1));
  post_event(EVENT_MENU, 0, 0, 0);
  EXPECT_EQ(free_gadget(0), 1);
  EXPECT_FALSE(native::is_window(first));
  EXPECT_EQ(gadget_handle(0), nullptr);
  EXPECT_EQ(free_gadget(0), 0);
  EXPECT_EQ(events(), (std::vector<Seen>{Seen{.object = 1, .type = CANVAS_GOT_FOCUS}, Seen{.code = EVENT_MENU}}));
  free_gadget(OBJECT_ANY);
  EXPECT_EQ(gadget_handle(1), nullptr);
}

TEST_F(CanvasTest, ReusingANumberReplacesTheCanvas) {
  const ObjectId first = create_canvas(0, 0, 0, 16, 16);
  const ObjectId second = create_canvas(0, 0, 0, 32, 32);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  EXPECT_FALSE(native::is_window(reinterpret_cast<native::Window*>(first)));
  EXPECT_EQ(reinterpret_cast<native::Window*>(second), gadget_handle(0));
  EXPECT_EQ(native::get_parent(gadget_handle(0)), parent());
  EXPECT_EQ(native::get_window_long(gadget_handle(0), native::GWL_ID), 0);
}

TEST_F(CanvasTest, CanvasMadeWithAnyNumberIsNamedByItsIdentity) {
  const ObjectId id = create_canvas(OBJECT_ANY, 0, 0, 16, 16);
  ASSERT_NE(id, 0);
  native::Window* window = gadget_handle(id);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(native::get_window_long(window, native::GWL_ID), id);
  native::set_focus(window);
  EXPECT_EQ(events(), (std::vector<Seen>{Seen{.object = id, .type = CANVAS_GOT_FOCUS}}));
  ASSERT_NE(start_drawing(canvas_output(id)), nullptr);
  box(0, 0, 4, 4, RED_BGR);
  stop_drawing();
  EXPECT_EQ(native::surface_pixel(window, 1, 1), RED);
  EXPECT_EQ(free_gadget(id), 1);
  EXPECT_EQ(gadget_handle(id), nullptr);
}

TEST_F(CanvasTest, GadgetListFollowsTheCurrentWindow) {
  native::Window* other = native::create_window(0, u"GadgetTestParent", u"Other", native::WS_OVERLAPPEDWINDOW, 0, 0,
                                                200, 200, nullptr, nullptr, 0);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(use_gadget_list(other), parent());
  ASSERT_NE(create_canvas(3, 0, 0, 16, 16), 0);
  EXPECT_EQ(native::get_parent(gadget_handle(3)), other);
  EXPECT_EQ(use_gadget_list(parent()), other);
  EXPECT_EQ(use_gadget_list(nullptr), parent());
  EXPECT_EQ(use_gadget_list(other), parent());
  native::destroy_window(other);  // takes its canvas and its gadget list with it
  EXPECT_EQ(gadget_handle(3), nullptr);
  EXPECT_EQ(use_gadget_list(nullptr), nullptr);
  EXPECT_EQ(create_canvas(4, 0, 0, 16, 16), 0);  // nowhere to put it
  EXPECT_EQ(gadget_handle(4), nullptr);
}

// A gadget kind with a command handler, to see what reaches it.
std::vector<std::uint32_t> commands;
std::intptr_t answer_commands(GadgetRecord*, ObjectId, std::uint32_t message, std::uintptr_t, std::intptr_t) {
  commands.push_back(message);
  return message == native::WM_COMMAND ? 42 : NOT_HANDLED;
}
constexpr GadgetType COMMAND_KIND{
    90,     sizeof(GadgetType), answer_commands, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr};

TEST_F(CanvasTest, CommandsReachOnlyRealGadgets) {
  commands.clear();
  native::Window* control =
      native::create_window(0, u"GadgetTestParent", u"", native::WS_CHILD, 0, 0, 10, 10, parent(), nullptr, -1);
  native::Window* stranger =
      native::create_window(0, u"GadgetTestParent", u"", native::WS_CHILD, 0, 0, 10, 10, parent(), nullptr, 0);
  auto* record = static_cast<GadgetRecord*>(allocate_object(gadget_table(), 0));
  ASSERT_EQ(register_gadget(record, 0, control, &COMMAND_KIND), reinterpret_cast<ObjectId>(control));
  std::intptr_t result = 0;
  EXPECT_TRUE(offer_to_gadget(control, native::WM_COMMAND, 0, 0, result));
  EXPECT_EQ(result, 42);
  EXPECT_FALSE(offer_to_gadget(control, native::WM_HSCROLL, 0, 0, result));
  // Identifier 0 and no number property look alike, but it is no gadget.
  EXPECT_FALSE(offer_to_gadget(stranger, native::WM_COMMAND, 0, 0, result));
  ASSERT_NE(create_canvas(1, 0, 0, 8, 8), 0);
  EXPECT_FALSE(offer_to_gadget(gadget_handle(1), native::WM_COMMAND, 0, 0, result));
  EXPECT_EQ(commands, (std::vector<std::uint32_t>{native::WM_COMMAND, native::WM_HSCROLL}));
}

}  // namespace
