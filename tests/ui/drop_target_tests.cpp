// Dropping data on canvases and windows: which drags are accepted, the
// effect shown, the event and record a drop leaves, and the registration.
#include "gadget_fixture.h"

#include "ui/drop_target.h"
#include "ui/event_queue.h"

#include "native/backends/headless/headless.h"
#include "native/system/faults.h"
#include "native/windowing/window.h"

#include <memory>

namespace {

namespace headless = native::headless;

constexpr std::uint32_t COPY_OR_MOVE = native::DROPEFFECT_COPY | native::DROPEFFECT_MOVE;

DropTarget* drop_target_of(native::Window* window) {
  return static_cast<DropTarget*>(native::get_prop(window, DROP_ACCEPT_PROPERTY));
}

struct Entry {
  std::uint32_t format, actions;
  bool operator==(const Entry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Entry& e) {
  return out << "{" << e.format << ", " << e.actions << "}";
}

std::vector<Entry> entries(const DropFormatEntry* entry) {
  std::vector<Entry> list;
  for (; entry; entry = entry->next) list.push_back({entry->format, entry->actions});
  return list;
}

// A drag source whose private block is too short to hold a key.
class ShortPrivateData final : public native::DataObject {
 public:
  native::HResult query_get_data(std::uint32_t format) const override {
    return format == PRIVATE_DROP_FORMAT ? native::S_OK : native::DV_E_FORMATETC;
  }
  native::HResult get_data(std::uint32_t format, std::vector<std::uint8_t>& out) const override {
    if (format != PRIVATE_DROP_FORMAT) return native::DV_E_FORMATETC;
    out = {7, 0};
    return native::S_OK;
  }
};

// Another program's target already registered on a window.
class ForeignTarget final : public native::DropTarget {
 public:
  std::uint32_t add_ref() override { return ++count; }
  std::uint32_t release() override { return --count; }
  native::HResult drag_enter(const native::DataObject*, std::uint32_t, native::Point, std::uint32_t*) override {
    return native::S_OK;
  }
  native::HResult drag_over(std::uint32_t, native::Point, std::uint32_t*) override { return native::S_OK; }
  native::HResult drag_leave() override { return native::S_OK; }
  native::HResult drop(const native::DataObject*, std::uint32_t, native::Point, std::uint32_t*) override {
    return native::S_OK;
  }
  std::uint32_t count = 0;
};

class DropTargetTest : public GadgetTest {
 protected:
  void SetUp() override {
    GadgetTest::SetUp();
    ASSERT_NE(create_canvas(0, 0, 0, 512, 384), 0);
    canvas_ = gadget_handle(0);
    events();
  }
  native::Point at(int x, int y) const { return on_screen(canvas_, x, y); }

  native::Window* canvas_ = nullptr;
};

TEST_F(DropTargetTest, DroppedFilesArriveAsOneEventWithTheNamesInOrder) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  EXPECT_EQ(headless::drop_files(at(40, 30), {u"/tmp/a.ss4", u"/home/b c.ss4", u"/x/é.ss4"}), native::DROPEFFECT_COPY);
  pump();
  ASSERT_EQ(take_event(), EVENT_GADGET_DROP);
  EXPECT_EQ((std::vector<ObjectId>{event_object(), event_window(), event_type()}), (std::vector<ObjectId>{0, 0, 0}));
  const auto* record = static_cast<const DropRecord*>(event_data());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ((std::vector<std::int64_t>{record->format, record->private_key, record->effect, record->x, record->y}),
            (std::vector<std::int64_t>{15, 0, 1, 40, 30}));
  EXPECT_EQ(event_drop_files(), u"/tmp/a.ss4\n/home/b c.ss4\n/x/é.ss4");
  EXPECT_EQ(take_event(), 0);
  EXPECT_EQ(event_drop_files(), u"");
}

TEST_F(DropTargetTest, ADropThatCannotBeCopiedIsRefused) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  native::faults::fail_allocations_from(2000);
  EXPECT_EQ(headless::drop_files(at(5, 5), {std::u16string(1200, u'n')}), native::DROPEFFECT_NONE);
  native::faults::reset();
  EXPECT_EQ(events(), std::vector<Seen>{});
}

TEST_F(DropTargetTest, TextOnAFilesOnlyCanvasIsRefused) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  auto text = native::make_text_data(u"hello");
  EXPECT_EQ(headless::drag_over(*text, at(5, 5), native::DROPEFFECT_COPY), native::DROPEFFECT_NONE);
  EXPECT_EQ(headless::drop(*text, at(5, 5), native::DROPEFFECT_COPY), native::DROPEFFECT_NONE);
  EXPECT_EQ(events(), std::vector<Seen>{});
}

TEST_F(DropTargetTest, EffectFollowsWhatBothSidesAllow) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  auto files = native::make_file_list_data({u"/a"});
  const std::uint32_t shift = native::MK_LBUTTON | native::MK_SHIFT;
  std::vector<std::uint32_t> effects{
      headless::drag_over(*files, at(5, 5), COPY_OR_MOVE, shift),             // copy only: Shift changes nothing
      headless::drag_over(*files, at(6, 5), native::DROPEFFECT_MOVE, shift),  // the source cannot copy
  };
  headless::drag_leave();
  enable_gadget_drop(0, 15, COPY_OR_MOVE);
  effects.push_back(headless::drag_over(*files, at(5, 5), COPY_OR_MOVE, shift));
  effects.push_back(headless::drag_over(*files, at(6, 5), COPY_OR_MOVE));
  headless::drag_leave();
  EXPECT_EQ(effects, (std::vector<std::uint32_t>{native::DROPEFFECT_COPY, native::DROPEFFECT_NONE,
                                                 native::DROPEFFECT_MOVE, native::DROPEFFECT_COPY}));
  EXPECT_EQ(events(), std::vector<Seen>{});
}

TEST_F(DropTargetTest, EnablingAgainReplacesActionsAndNewestFormatsComeFirst) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  enable_gadget_drop(0, 15, native::DROPEFFECT_MOVE);
  enable_gadget_drop(0, 1, native::DROPEFFECT_LINK);
  DropTarget* target = drop_target_of(canvas_);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(entries(target->standard_formats), (std::vector<Entry>{{13, 4}, {7, 4}, {1, 4}, {15, 2}}));
  EXPECT_EQ(native::registered_drop_target(canvas_), target);
  EXPECT_EQ(target->reference_count, 1u);  // the registration's
  EXPECT_EQ((std::vector<ObjectId>{target->gadget_type, target->number, target->hover_item}),
            (std::vector<ObjectId>{GADGET_TYPE_CANVAS, 0, -1}));
}

TEST_F(DropTargetTest, WithdrawingTheLastFormatUnregisters) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  enable_gadget_drop(0, 1, native::DROPEFFECT_COPY);
  enable_gadget_drop(0, 1, 0);
  EXPECT_EQ(entries(drop_target_of(canvas_)->standard_formats), (std::vector<Entry>{{15, 1}}));
  enable_gadget_drop(0, 15, 0);
  EXPECT_EQ(drop_target_of(canvas_), nullptr);
  EXPECT_EQ(native::registered_drop_target(canvas_), nullptr);
  EXPECT_EQ(headless::drop_files(at(5, 5), {u"/a"}), native::DROPEFFECT_NONE);
  enable_gadget_drop(0, 15, 0);                        // nothing left to withdraw
  enable_gadget_drop(7, 15, native::DROPEFFECT_COPY);  // no such gadget
  EXPECT_EQ(events(), std::vector<Seen>{});
}

TEST_F(DropTargetTest, TextFormatOneAcceptsEveryTextFormat) {
  enable_gadget_drop(0, 1, native::DROPEFFECT_COPY);
  EXPECT_EQ(headless::drop_text(at(5, 5), u"some words"), native::DROPEFFECT_COPY);
  pump();
  ASSERT_EQ(take_event(), EVENT_GADGET_DROP);
  const auto* record = static_cast<const DropRecord*>(event_data());
  EXPECT_EQ(record->format, native::CF_UNICODETEXT);  // the newest of the three is tried first
  EXPECT_EQ(event_drop_files(), u"");                 // not a file list
  enable_gadget_drop(0, 13, 0);
  EXPECT_EQ(headless::drop_text(at(5, 5), u"more"), native::DROPEFFECT_COPY);
  pump();
  ASSERT_EQ(take_event(), EVENT_GADGET_DROP);
  EXPECT_EQ(static_cast<const DropRecord*>(event_data())->format, native::CF_OEMTEXT);
}

TEST_F(DropTargetTest, PrivateFormatsMatchByKey) {
  enable_gadget_drop(0, PRIVATE_DROP_FORMAT, native::DROPEFFECT_MOVE, 77);
  auto other_key = native::make_private_data(78);
  EXPECT_EQ(headless::drop(*other_key, at(5, 5), native::DROPEFFECT_MOVE), native::DROPEFFECT_NONE);
  ShortPrivateData too_short;
  EXPECT_EQ(headless::drop(too_short, at(5, 5), native::DROPEFFECT_MOVE), native::DROPEFFECT_NONE);
  auto ours = native::make_private_data(77, {1, 2, 3});
  EXPECT_EQ(headless::drop(*ours, at(9, 8), native::DROPEFFECT_MOVE), native::DROPEFFECT_MOVE);
  pump();
  ASSERT_EQ(take_event(), EVENT_GADGET_DROP);
  const auto* record = static_cast<const DropRecord*>(event_data());
  EXPECT_EQ((std::vector<std::int64_t>{record->format, record->private_key, record->effect, record->x, record->y,
                                       record->size, record->data != nullptr}),
            (std::vector<std::int64_t>{512, 77, 2, 9, 8, 0, 0}));
  EXPECT_EQ(take_event(), 0);
}

TEST_F(DropTargetTest, WindowDropsCarryTheWindowNumber) {
  enable_native_window_drop(parent(), 0, 15, native::DROPEFFECT_COPY);
  std::vector<Seen> seen;
  EXPECT_EQ(headless::drop_files(on_screen(parent(), 600, 50), {u"/w"}), native::DROPEFFECT_COPY);
  seen = events();
  EXPECT_EQ(headless::drop_files(at(5, 5), {u"/c"}), native::DROPEFFECT_COPY);  // the canvas is part of it
  for (const Seen& s : events()) seen.push_back(s);
  EXPECT_EQ(seen, (std::vector<Seen>{Seen{.code = EVENT_WINDOW_DROP}, Seen{.code = EVENT_WINDOW_DROP}}));
  EXPECT_TRUE(release_drop_target(parent()));
  EXPECT_FALSE(release_drop_target(parent()));
  EXPECT_EQ(native::registered_drop_target(parent()), nullptr);
}

TEST_F(DropTargetTest, AnEarlierRegistrationIsReplaced) {
  ForeignTarget foreign;
  ASSERT_EQ(native::register_drag_drop(canvas_, &foreign), native::S_OK);
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  EXPECT_EQ(native::registered_drop_target(canvas_), drop_target_of(canvas_));
  EXPECT_EQ(foreign.count, 0u);
}

TEST_F(DropTargetTest, WithoutOleNothingIsRegistered) {
  shutdown_ole();
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  EXPECT_EQ(drop_target_of(canvas_), nullptr);
  EXPECT_EQ(native::registered_drop_target(canvas_), nullptr);
  init_ole();
}

TEST_F(DropTargetTest, AnswersOnlyItsOwnInterfaces) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  DropTarget* target = drop_target_of(canvas_);
  void* out = &out;
  EXPECT_EQ(target->query_interface(&IID_DROP_TARGET, &out), native::S_OK);
  EXPECT_EQ(out, target);
  EXPECT_EQ(target->query_interface(&IID_UNKNOWN, &out), native::S_OK);
  EXPECT_EQ(target->reference_count, 3u);
  target->release();
  target->release();
  const InterfaceId other{0x00000121, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  EXPECT_EQ(target->query_interface(&other, &out), native::E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(target->query_interface(&IID_UNKNOWN, nullptr), native::E_INVALIDARG);
}

TEST_F(DropTargetTest, FreeingTheCanvasLetsGoOfItsTarget) {
  enable_gadget_drop(0, 15, native::DROPEFFECT_COPY);
  free_gadget(0);
  EXPECT_EQ(headless::drop_files(on_screen(parent(), 5, 5), {u"/a"}), native::DROPEFFECT_NONE);
  EXPECT_EQ(events(), std::vector<Seen>{});
}

TEST_F(DropTargetTest, FramesAroundTheGadgetGoBehindIt) {
  native::WindowClassInfo info{};
  info.procedure = native::def_window_proc;
  info.name = u"Button";
  ASSERT_TRUE(native::register_class(info));
  auto button = [this](std::uint32_t style, int x) {
    return native::create_window(0, u"Button", u"", native::WS_CHILD | native::WS_VISIBLE | style, x, 0, 40, 40,
                                 parent(), nullptr, 0);
  };
  native::Window* frame = button(0x7, 590);  // a group box
  native::Window* push = button(0x0, 600);   // a plain push button
  native::Window* away = button(0x7, 650);   // a frame elsewhere
  ASSERT_NE(create_canvas(1, 580, 10, 50, 50), 0);
  native::Window* canvas = gadget_handle(1);
  auto below = [](native::Window* w) {
    std::vector<native::Window*> order;
    for (; w; w = native::get_window(w, native::GW_HWNDNEXT)) order.push_back(w);
    return order;
  };
  ASSERT_EQ(below(frame), (std::vector<native::Window*>{frame, push, away, canvas}));
  enable_gadget_drop(1, 15, native::DROPEFFECT_COPY);
  EXPECT_EQ(below(push), (std::vector<native::Window*>{push, away, canvas, frame}));
}

TEST_F(DropTargetTest, FileNamesOnlyAfterADropEvent) {
  post_event(EVENT_MENU, 1, 0, 0);
  ASSERT_EQ(take_event(), EVENT_MENU);
  EXPECT_EQ(event_drop_files(), u"");
  DropRecord fake{15, 0, 1, 0, 0, nullptr, 0};  // a record without data
  post_event(EVENT_GADGET_DROP, 0, 0, 0, &fake);
  ASSERT_EQ(take_event(), EVENT_GADGET_DROP);
  EXPECT_EQ(event_drop_files(), u"");
}

}  // namespace
