#pragma once
// Drag and drop: drop-target registration on windows, the data offered by a
// drag, the file-list block and its reader, and the drag tracker through
// which a backend delivers a drag to whichever registered window lies under
// the pointer.
#include "native/windowing/messages.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace native {

using HResult = std::int32_t;
constexpr HResult S_OK = 0;
constexpr HResult S_FALSE = 1;
constexpr HResult E_INVALIDARG = static_cast<HResult>(0x80070057u);
constexpr HResult E_OUTOFMEMORY = static_cast<HResult>(0x8007000Eu);
constexpr HResult E_NOINTERFACE = static_cast<HResult>(0x80004002u);
constexpr HResult DV_E_FORMATETC = static_cast<HResult>(0x80040064u);
constexpr HResult DRAGDROP_E_NOTREGISTERED = static_cast<HResult>(0x80040100u);
constexpr HResult DRAGDROP_E_ALREADYREGISTERED = static_cast<HResult>(0x80040101u);
constexpr HResult DRAGDROP_E_INVALIDHWND = static_cast<HResult>(0x80040102u);

constexpr std::uint32_t DROPEFFECT_NONE = 0;
constexpr std::uint32_t DROPEFFECT_COPY = 1;
constexpr std::uint32_t DROPEFFECT_MOVE = 2;
constexpr std::uint32_t DROPEFFECT_LINK = 4;

constexpr std::uint32_t CF_TEXT = 1;
constexpr std::uint32_t CF_OEMTEXT = 7;
constexpr std::uint32_t CF_UNICODETEXT = 13;
constexpr std::uint32_t CF_HDROP = 15;
constexpr std::uint32_t CF_PRIVATEFIRST = 0x200;

// What a drag offers. get_data answers a copy of the block in that format.
class DataObject {
 public:
  virtual HResult query_get_data(std::uint32_t format) const = 0;
  virtual HResult get_data(std::uint32_t format, std::vector<std::uint8_t>& out) const = 0;
  virtual ~DataObject() = default;
};

// A window's receiver of drags. The registration holds one reference.
// Points are in screen coordinates; `effect` carries the source's allowed
// effects in and the target's chosen effect out.
class DropTarget {
 public:
  virtual std::uint32_t add_ref() = 0;
  virtual std::uint32_t release() = 0;
  virtual HResult drag_enter(const DataObject* data, std::uint32_t key_state, Point point, std::uint32_t* effect) = 0;
  virtual HResult drag_over(std::uint32_t key_state, Point point, std::uint32_t* effect) = 0;
  virtual HResult drag_leave() = 0;
  virtual HResult drop(const DataObject* data, std::uint32_t key_state, Point point, std::uint32_t* effect) = 0;

 protected:
  ~DropTarget() = default;
};

// Needs ole_initialize (E_OUTOFMEMORY without it, like the native call).
HResult register_drag_drop(Window* window, DropTarget* target);
HResult revoke_drag_drop(Window* window);
DropTarget* registered_drop_target(Window* window);

// The file-list block: a 20-byte header (offset of the names, drop point,
// non-client flag, wide flag = 1) followed by the names, each ended by a zero
// character, the list ended by one more.
std::vector<std::uint8_t> make_file_list_block(const std::vector<std::u16string>& names);
// Index 0xFFFFFFFF answers the count in `count`; any other index the name
// (empty past the end or for a malformed block).
std::uint32_t drag_query_file_count(std::span<const std::uint8_t> block);
std::u16string drag_query_file(std::span<const std::uint8_t> block, std::uint32_t index);

// A data object offering a file list (format 15), or text (formats 1, 7 as
// 8-bit characters ended by zero, 13 as UTF-16 ended by zero), or a private
// block in format 512.
std::unique_ptr<DataObject> make_file_list_data(std::vector<std::u16string> names);
std::unique_ptr<DataObject> make_text_data(std::u16string text);
std::unique_ptr<DataObject> make_private_data(std::uint32_t key, std::vector<std::uint8_t> rest = {});

// --- the drag in progress, driven by a backend ------------------------------

// The pointer entered or moved: leaves the previous target, enters the one
// under `screen` (nearest ancestor with a registration) and answers the
// effect it chose.
std::uint32_t drag_move(const DataObject* data, Point screen, std::uint32_t key_state, std::uint32_t allowed);
// The drag left every window of this program.
void drag_cancel();
// Drops on the target under the point (entering it first when needed) and
// answers the effect it reported; DROPEFFECT_NONE when no target is there.
std::uint32_t drag_drop(const DataObject* data, Point screen, std::uint32_t key_state, std::uint32_t allowed);

}  // namespace native
