#include "window_test_support.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/gdi_object.h"
#include "native/windowing/drag_drop.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/paint.h"

namespace {

using native::Window;
using wintest::Record;
namespace hl = native::headless;

class Painting : public wintest::WindowTest {};

std::vector<std::uint32_t> pixels(Window* w) {
  std::vector<std::uint32_t> out;
  const native::Bitmap* b = native::window_surface(w);
  for (int y = 0; y < b->height; ++y)
    for (int x = 0; x < b->width; ++x) out.push_back(native::surface_pixel(w, x, y));
  return out;
}

TEST_F(Painting, TheSurfaceShowsWhatThePaintWrote) {
  native::Rect painted{};
  handle([&](Window* w, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
    if (m != native::WM_PAINT) return std::nullopt;
    native::PaintStruct ps;
    native::DeviceContext* dc = native::begin_paint(w, ps);
    painted = ps.paint;
    native::Brush* red = native::create_solid_brush(0x0000FF);
    native::fill_rect(dc, {0, 0, 2, 2}, red);
    native::delete_object(red);
    native::Bitmap* blue = native::create_dib_section(2, 2, 24);
    for (int i = 0; i < 2; ++i)
      native::write_pixel(*blue, i, i, 0x0000FF), native::write_pixel(*blue, 1 - i, i, 0x0000FF);
    native::DeviceContext* memory = native::create_compatible_dc();
    native::select_object(memory, blue);
    native::bit_blt(dc, 4, 0, 2, 2, memory, 0, 0);
    native::delete_dc(memory);
    native::delete_object(blue);
    native::end_paint(w, ps);
    return 0;
  });
  Window* w = make_window(8, 3, native::WS_POPUP | native::WS_VISIBLE);
  EXPECT_GT(pump(), 0);
  constexpr std::uint32_t R = 0xFF0000, B = 0x0000FF, W = 0xFFFFFF;  // the class background is white
  std::vector<std::uint32_t> expected = {R, R, W, W, B, B, W, W,     //
                                         R, R, W, W, B, B, W, W,     //
                                         W, W, W, W, W, W, W, W};
  EXPECT_EQ(pixels(w), expected);
  EXPECT_EQ(painted.right, 8);
  EXPECT_EQ(painted.bottom, 3);
  EXPECT_FALSE(native::get_update_rect(w, nullptr, false));
  EXPECT_EQ(pump(), 0);  // validated: no further WM_PAINT

  // A later invalidation without erasing paints only and reports its part.
  record_only({native::WM_PAINT, native::WM_ERASEBKGND});
  native::Rect part{1, 1, 3, 2};
  native::invalidate_rect(w, &part, false);
  native::update_window(w);  // synchronous
  EXPECT_EQ(take_log(), (std::vector<Record>{{w, native::WM_PAINT, 0, 0}}));
  EXPECT_EQ(painted.left, 1);
  EXPECT_EQ(painted.right, 3);
  native::update_window(w);
  EXPECT_TRUE(take_log().empty());
}

TEST_F(Painting, ChildrenPaintTheirOwnSurfacesAfterTheirParent) {
  Window* top = make_window(20, 20, native::WS_POPUP | native::WS_VISIBLE);
  Window* child = make_child(top, 5, 5, 4, 3);
  pump();
  EXPECT_EQ(native::window_surface(child)->width, 4);
  EXPECT_EQ(native::window_surface(child)->height, 3);
  record_only({native::WM_PAINT});
  native::invalidate_rect(top, nullptr, true);
  pump();
  EXPECT_EQ(take_log(), (std::vector<Record>{{top, native::WM_PAINT, 0, 0}, {child, native::WM_PAINT, 0, 0}}));
  // A parent that clips its children leaves them valid.
  native::set_window_long(top, native::GWL_STYLE, native::WS_POPUP | native::WS_CLIPCHILDREN);
  native::invalidate_rect(top, nullptr, true);
  pump();
  EXPECT_EQ(take_log(), (std::vector<Record>{{top, native::WM_PAINT, 0, 0}}));
  // A part that misses the child leaves it out as well.
  native::set_window_long(top, native::GWL_STYLE, native::WS_POPUP);
  native::Rect corner{0, 0, 2, 2};
  native::redraw_window(top, &corner, native::RDW_INVALIDATE | native::RDW_UPDATENOW);
  EXPECT_EQ(take_log(), (std::vector<Record>{{top, native::WM_PAINT, 0, 0}}));
}

std::vector<std::uint32_t> composed(Window* w) {
  native::Bitmap* shot = native::compose_client(w);
  std::vector<std::uint32_t> out;
  for (int y = 0; y < shot->height; ++y)
    for (int x = 0; x < shot->width; ++x) out.push_back(native::read_pixel(*shot, x, y) & 0xFFFFFF);
  native::delete_object(shot);
  return out;
}

TEST_F(Painting, TheComposedClientShowsVisibleChildrenOverTheirParent) {
  Window* child = nullptr;
  handle([&](Window* w, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
    if (m != native::WM_PAINT || w != child) return std::nullopt;
    native::PaintStruct ps;
    native::Brush* red = native::create_solid_brush(0x0000FF);
    native::fill_rect(native::begin_paint(w, ps), {0, 0, 10, 10}, red);
    native::delete_object(red);
    native::end_paint(w, ps);
    return 0;
  });
  Window* top = make_window(6, 4, native::WS_POPUP | native::WS_VISIBLE);
  child = make_child(top, 2, 1, 3, 2);
  make_child(top, 0, 0, 2, 2, native::WS_CHILD);  // hidden: never shown
  pump();
  constexpr std::uint32_t R = 0xFF0000, W = 0xFFFFFF;
  EXPECT_EQ(composed(top), (std::vector<std::uint32_t>{W, W, W, W, W, W,  //
                                                       W, W, R, R, R, W,  //
                                                       W, W, R, R, R, W,  //
                                                       W, W, W, W, W, W}));
  record_only({native::WM_PAINT});
  native::show_window(child, native::SW_HIDE);  // uncovers the parent, which repaints there
  pump();
  EXPECT_EQ(take_log(), (std::vector<Record>{{top, native::WM_PAINT, 0, 0}}));
  EXPECT_EQ(composed(top), std::vector<std::uint32_t>(24, W));
}

TEST_F(Painting, ResizingKeepsThePictureAndAsksForPaint) {
  Window* w = make_window(4, 4, native::WS_POPUP | native::WS_VISIBLE);
  pump();
  native::DeviceContext* dc = native::get_dc(w);
  native::Brush* brush = native::create_solid_brush(0x00FF00);
  native::fill_rect(dc, {0, 0, 4, 4}, brush);
  native::move_window(w, 0, 0, 6, 5, false);
  EXPECT_EQ(native::surface_pixel(w, 3, 3), 0x00FF00u);  // the context follows the new surface
  native::fill_rect(dc, {5, 4, 6, 5}, brush);
  EXPECT_EQ(native::surface_pixel(w, 5, 4), 0x00FF00u);
  EXPECT_TRUE(native::get_update_rect(w, nullptr, false));
  EXPECT_TRUE(native::release_dc(w, dc));
  EXPECT_FALSE(native::release_dc(w, dc));
  // A context still out when its window goes stops drawing safely.
  native::DeviceContext* late = native::get_dc(w);
  native::destroy_window(w);
  EXPECT_FALSE(native::fill_rect(late, {0, 0, 1, 1}, brush));
  native::delete_object(brush);
  EXPECT_EQ(native::live_object_count(native::ObjectType::bitmap), 0u);
  EXPECT_EQ(native::live_object_count(native::ObjectType::dc), 0u);
}

// A drop target that accepts copies of file lists and logs every call.
class FileTarget final : public native::DropTarget {
 public:
  struct Call {
    std::string what;
    std::uint32_t keys;
    native::Point point;
    std::uint32_t effect_in;
    friend bool operator==(const Call&, const Call&) = default;
    friend std::ostream& operator<<(std::ostream& o, const Call& c) {
      return o << c.what << " keys " << c.keys << " at " << c.point.x << "," << c.point.y << " allowed " << c.effect_in;
    }
  };
  std::uint32_t add_ref() override { return ++refs; }
  std::uint32_t release() override { return --refs; }
  native::HResult drag_enter(const native::DataObject* data, std::uint32_t keys, native::Point p,
                             std::uint32_t* effect) override {
    calls.push_back({"enter", keys, p, *effect});
    files = data->query_get_data(native::CF_HDROP) == native::S_OK;
    *effect = files ? *effect & native::DROPEFFECT_COPY : native::DROPEFFECT_NONE;
    return native::S_OK;
  }
  native::HResult drag_over(std::uint32_t keys, native::Point p, std::uint32_t* effect) override {
    calls.push_back({"over", keys, p, *effect});
    *effect = files ? *effect & native::DROPEFFECT_COPY : native::DROPEFFECT_NONE;
    return native::S_OK;
  }
  native::HResult drag_leave() override {
    calls.push_back({"leave", 0, {}, 0});
    return native::S_OK;
  }
  native::HResult drop(const native::DataObject* data, std::uint32_t keys, native::Point p,
                       std::uint32_t* effect) override {
    calls.push_back({"drop", keys, p, *effect});
    std::vector<std::uint8_t> block;
    if (data->get_data(native::CF_HDROP, block) == native::S_OK)
      for (std::uint32_t i = 0; i < native::drag_query_file_count(block); ++i)
        names.push_back(native::drag_query_file(block, i));
    *effect &= native::DROPEFFECT_COPY;
    return native::S_OK;
  }
  std::uint32_t refs = 1;
  bool files = false;
  std::vector<Call> calls;
  std::vector<std::u16string> names;
};

class DragDrop : public wintest::WindowTest {};

TEST_F(DragDrop, RegistrationNeedsOleAndHoldsAReference) {
  Window* w = make_window(50, 50);
  FileTarget target;
  EXPECT_EQ(native::register_drag_drop(w, &target), native::E_OUTOFMEMORY);
  native::ole_initialize();
  EXPECT_EQ(native::register_drag_drop(w, &target), native::S_OK);
  EXPECT_EQ(native::register_drag_drop(w, &target), native::DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(target.refs, 2u);
  EXPECT_EQ(native::revoke_drag_drop(w), native::S_OK);
  EXPECT_EQ(native::revoke_drag_drop(w), native::DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(target.refs, 1u);
  native::register_drag_drop(w, &target);
  native::destroy_window(w);  // the registration goes with the window
  EXPECT_EQ(target.refs, 1u);
  EXPECT_EQ(native::register_drag_drop(w, &target), native::DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(native::revoke_drag_drop(w), native::DRAGDROP_E_INVALIDHWND);
  native::ole_uninitialize();
}

TEST_F(DragDrop, FilesDroppedOnAChildReachTheNearestRegisteredAncestor) {
  native::ole_initialize();
  Window* top = make_window(100, 100, native::WS_POPUP | native::WS_VISIBLE);
  Window* child = make_child(top, 10, 10, 50, 50);
  Window* other = make_window(20, 20, native::WS_POPUP | native::WS_VISIBLE);
  native::move_window(other, 500, 500, 20, 20, false);
  FileTarget target;
  ASSERT_EQ(native::register_drag_drop(top, &target), native::S_OK);
  native::Point at = hl::client_point(child, 5, 5);
  std::uint32_t allowed = native::DROPEFFECT_COPY | native::DROPEFFECT_MOVE;
  std::uint32_t keys = native::MK_LBUTTON | native::MK_SHIFT;
  EXPECT_EQ(hl::drop_files(at, {u"/tmp/a b.ss4", u"/tmp/c.ss4"}, allowed, keys), native::DROPEFFECT_COPY);
  std::vector<FileTarget::Call> expected = {
      {"enter", keys, at, allowed}, {"over", keys, at, allowed}, {"drop", keys, at, allowed}};
  EXPECT_EQ(target.calls, expected);
  EXPECT_EQ(target.names, (std::vector<std::u16string>{u"/tmp/a b.ss4", u"/tmp/c.ss4"}));
  EXPECT_EQ(target.refs, 2u);  // only the registration's reference is left

  // Moving off to a window without a target leaves; text is refused and
  // ends in a leave, not a drop.
  target.calls.clear();
  auto files = native::make_file_list_data({u"x"});
  EXPECT_EQ(hl::drag_over(*files, at, native::DROPEFFECT_COPY), native::DROPEFFECT_COPY);
  EXPECT_EQ(hl::drag_over(*files, hl::client_point(other, 1, 1), native::DROPEFFECT_COPY), native::DROPEFFECT_NONE);
  EXPECT_EQ(hl::drop_text(at, u"hello"), native::DROPEFFECT_NONE);
  std::vector<std::string> whats;
  for (const auto& c : target.calls) whats.push_back(c.what);
  EXPECT_EQ(whats, (std::vector<std::string>{"enter", "leave", "enter", "over", "leave"}));
  EXPECT_TRUE(target.names.size() == 2);
  native::revoke_drag_drop(top);
  EXPECT_EQ(target.refs, 1u);
}

TEST_F(DragDrop, FileListBlocksAreReadSafely) {
  auto block = native::make_file_list_block({u"/a", u"/bb"});
  EXPECT_EQ(block.size(), 20u + 2 * (3 + 4 + 1));
  EXPECT_EQ(native::drag_query_file_count(block), 2u);
  EXPECT_EQ(native::drag_query_file(block, 1), u"/bb");
  EXPECT_EQ(native::drag_query_file(block, 2), u"");
  std::vector<std::uint8_t> cut(block.begin(), block.begin() + 25);  // "/a" without its end
  EXPECT_EQ(native::drag_query_file_count(cut), 0u);
  std::vector<std::uint8_t> bad_offset = block;
  bad_offset[0] = 200;
  EXPECT_EQ(native::drag_query_file_count(bad_offset), 0u);
  EXPECT_EQ(native::drag_query_file_count({}), 0u);
  // Private and text data answer only their own formats.
  std::vector<std::uint8_t> out;
  auto priv = native::make_private_data(0x12345678, {9});
  ASSERT_EQ(priv->get_data(native::CF_PRIVATEFIRST, out), native::S_OK);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12, 9}));
  auto text = native::make_text_data(u"hi");
  EXPECT_EQ(text->query_get_data(native::CF_HDROP), native::DV_E_FORMATETC);
  ASSERT_EQ(text->get_data(native::CF_UNICODETEXT, out), native::S_OK);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{'h', 0, 'i', 0, 0, 0}));
}

}  // namespace
