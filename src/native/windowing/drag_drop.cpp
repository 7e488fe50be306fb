// Drop-target registration, dragged data, the file-list block, and the drag
// in progress.
#include "native/windowing/drag_drop.h"

#include "native/windowing/message_queue.h"

#include "native/system/text.h"
#include "native/windowing/input_state.h"
#include "native/windowing/windowing_state.h"

#include <cstring>
#include <utility>

namespace native {
namespace {

constexpr std::size_t kHeader = 20;

struct Drag {
  Window* window = nullptr;  // the registered window the drag is over
  DropTarget* target = nullptr;
  std::uint32_t last_effect = DROPEFFECT_NONE;
};

Drag& drag() {
  static Drag state;
  return state;
}

void end_drag(bool leave) {
  Drag& d = drag();
  DropTarget* target = d.target;
  d = {};
  if (!target) return;
  if (leave) target->drag_leave();
  target->release();
}

Window* registered_window_at(Point screen) {
  for (Window* w = window_from_point(screen); w; w = get_parent(w))
    if (registered_drop_target(w)) return w;
  return nullptr;
}

std::uint32_t read32(std::span<const std::uint8_t> block, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, block.data() + at, 4);
  return v;
}

// Calls `visit` with each name in the block; stops when it answers false.
template <typename Visit>
void each_name(std::span<const std::uint8_t> block, Visit visit) {
  if (block.size() < kHeader) return;
  std::size_t at = read32(block, 0);
  bool wide = read32(block, 16) != 0;
  std::size_t unit = wide ? 2 : 1;
  if (at < kHeader) return;
  while (at + unit <= block.size()) {
    std::u16string name;
    for (;; at += unit) {
      if (at + unit > block.size()) return;  // unterminated: malformed
      char16_t c = wide ? static_cast<char16_t>(block[at] | block[at + 1] << 8) : static_cast<char16_t>(block[at]);
      if (c == 0) break;
      name.push_back(c);
    }
    at += unit;
    if (name.empty() || !visit(name)) return;
  }
}

class FileListData final : public DataObject {
 public:
  explicit FileListData(std::vector<std::u16string> names) : names_(std::move(names)) {}
  HResult query_get_data(std::uint32_t format) const override { return format == CF_HDROP ? S_OK : DV_E_FORMATETC; }
  HResult get_data(std::uint32_t format, std::vector<std::uint8_t>& out) const override {
    if (format != CF_HDROP) return DV_E_FORMATETC;
    out = make_file_list_block(names_);
    return S_OK;
  }

 private:
  std::vector<std::u16string> names_;
};

class TextData final : public DataObject {
 public:
  explicit TextData(std::u16string text) : text_(std::move(text)) {}
  HResult query_get_data(std::uint32_t format) const override {
    return format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT ? S_OK : DV_E_FORMATETC;
  }
  HResult get_data(std::uint32_t format, std::vector<std::uint8_t>& out) const override {
    if (query_get_data(format) != S_OK) return DV_E_FORMATETC;
    out.clear();
    if (format == CF_UNICODETEXT) {
      for (char16_t c : text_) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
      }
      out.insert(out.end(), {0, 0});
    } else {
      std::string bytes = to_utf8(text_);
      out.assign(bytes.begin(), bytes.end());
      out.push_back(0);
    }
    return S_OK;
  }

 private:
  std::u16string text_;
};

class PrivateData final : public DataObject {
 public:
  PrivateData(std::uint32_t key, const std::vector<std::uint8_t>& rest) {
    block_.reserve(4 + rest.size());
    for (int shift = 0; shift < 32; shift += 8) block_.push_back(static_cast<std::uint8_t>(key >> shift));
    for (std::uint8_t b : rest) block_.push_back(b);
  }
  HResult query_get_data(std::uint32_t format) const override {
    return format == CF_PRIVATEFIRST ? S_OK : DV_E_FORMATETC;
  }
  HResult get_data(std::uint32_t format, std::vector<std::uint8_t>& out) const override {
    if (format != CF_PRIVATEFIRST) return DV_E_FORMATETC;
    out = block_;
    return S_OK;
  }

 private:
  std::vector<std::uint8_t> block_;
};

}  // namespace

namespace detail {

void release_drop_registration(WindowData& w) {
  if (drag().window == w.handle) end_drag(false);
  if (DropTarget* target = std::exchange(w.drop_target, nullptr)) target->release();
}

void reset_drag() { end_drag(false); }

}  // namespace detail

HResult register_drag_drop(Window* window, DropTarget* target) {
  detail::WindowData* w = detail::find(window);
  if (!w) return DRAGDROP_E_INVALIDHWND;
  if (!target) return E_INVALIDARG;
  if (detail::windowing().ole_count == 0) return E_OUTOFMEMORY;
  if (w->drop_target) return DRAGDROP_E_ALREADYREGISTERED;
  target->add_ref();
  w->drop_target = target;
  return S_OK;
}

HResult revoke_drag_drop(Window* window) {
  detail::WindowData* w = detail::find(window);
  if (!w) return DRAGDROP_E_INVALIDHWND;
  if (!w->drop_target) return DRAGDROP_E_NOTREGISTERED;
  detail::release_drop_registration(*w);
  return S_OK;
}

DropTarget* registered_drop_target(Window* window) {
  detail::WindowData* w = detail::find(window);
  return w ? w->drop_target : nullptr;
}

std::vector<std::uint8_t> make_file_list_block(const std::vector<std::u16string>& names) {
  std::vector<std::uint8_t> block(kHeader, 0);
  block[0] = kHeader;
  block[16] = 1;  // wide names
  for (const auto& name : names) {
    for (char16_t c : name) {
      if (c == 0) break;  // a name cannot hold the terminator
      block.push_back(static_cast<std::uint8_t>(c & 0xFF));
      block.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    block.insert(block.end(), {0, 0});
  }
  block.insert(block.end(), {0, 0});
  return block;
}

std::uint32_t drag_query_file_count(std::span<const std::uint8_t> block) {
  std::uint32_t count = 0;
  each_name(block, [&](const std::u16string&) {
    ++count;
    return true;
  });
  return count;
}

std::u16string drag_query_file(std::span<const std::uint8_t> block, std::uint32_t index) {
  std::u16string found;
  std::uint32_t i = 0;
  each_name(block, [&](const std::u16string& name) {
    if (i++ != index) return true;
    found = name;
    return false;
  });
  return found;
}

std::unique_ptr<DataObject> make_file_list_data(std::vector<std::u16string> names) {
  return std::make_unique<FileListData>(std::move(names));
}

std::unique_ptr<DataObject> make_text_data(std::u16string text) { return std::make_unique<TextData>(std::move(text)); }

std::unique_ptr<DataObject> make_private_data(std::uint32_t key, std::vector<std::uint8_t> rest) {
  return std::make_unique<PrivateData>(key, rest);
}

std::uint32_t drag_move(const DataObject* data, Point screen, std::uint32_t key_state, std::uint32_t allowed) {
  set_cursor_pos(screen.x, screen.y);
  Window* under = registered_window_at(screen);
  Drag& d = drag();
  if (under != d.window) {
    end_drag(true);
    if (!under || !data) return DROPEFFECT_NONE;
    d.window = under;
    d.target = registered_drop_target(under);
    d.target->add_ref();  // kept while the drag is over it, even if revoked meanwhile
    std::uint32_t effect = allowed;
    if (d.target->drag_enter(data, key_state, screen, &effect) != S_OK) effect = DROPEFFECT_NONE;
    d.last_effect = effect;
    return effect;
  }
  if (!d.target) return DROPEFFECT_NONE;
  std::uint32_t effect = allowed;
  if (d.target->drag_over(key_state, screen, &effect) != S_OK) effect = DROPEFFECT_NONE;
  d.last_effect = effect;
  return effect;
}

void drag_cancel() { end_drag(true); }

std::uint32_t drag_drop(const DataObject* data, Point screen, std::uint32_t key_state, std::uint32_t allowed) {
  Drag& d = drag();
  if (registered_window_at(screen) != d.window || !d.target) drag_move(data, screen, key_state, allowed);
  if (!d.target) return DROPEFFECT_NONE;
  // As the native protocol does: a target that last refused gets a leave,
  // not a drop.
  if (d.last_effect == DROPEFFECT_NONE) {
    end_drag(true);
    return DROPEFFECT_NONE;
  }
  DropTarget* target = d.target;
  Window* window = d.window;
  target->add_ref();
  end_drag(false);
  std::uint32_t effect = allowed;
  if (target->drop(data, key_state, screen, &effect) != S_OK) effect = DROPEFFECT_NONE;
  target->release();
  // The drag loop ends by leaving the target's thread a message, so a program
  // blocked in its wait wakes up to take what the drop raised.
  post_message(window, WM_NULL, 0, 0);
  return effect;
}

}  // namespace native
