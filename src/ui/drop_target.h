#pragma once
// Accepting data dragged onto a window or a gadget. The program declares, per
// data format, the drop actions it accepts; a DropTarget on the native window
// answers the drag protocol, chooses the effect, copies the dropped data and
// posts a drop event carrying a DropRecord.
#include "native/windowing/drag_drop.h"
#include "runtime/object_table.h"

#include <cstdint>
#include <string>

// The program's own in-process format: its data starts with a 32-bit key, and
// entries for it are matched by key.
constexpr std::uint32_t PRIVATE_DROP_FORMAT = 512;
// Stands for the three text formats at once.
constexpr std::uint32_t DROP_FORMAT_TEXT = 1;
constexpr std::uint32_t DROP_FORMAT_FILES = 15;

inline constexpr char16_t DROP_ACCEPT_PROPERTY[] = u"VX_DropAccept";

struct DropFormatEntry {
  DropFormatEntry* next;
  DropFormatEntry* previous;
  std::uint32_t format;  // or the private key
  std::uint32_t actions;
};

// What the current drag matched.
constexpr std::int32_t DROP_MATCH_NONE = 0;
constexpr std::int32_t DROP_MATCH_FORMAT = 1;
constexpr std::int32_t DROP_MATCH_PRIVATE = 2;

struct InterfaceId {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
  friend bool operator==(const InterfaceId&, const InterfaceId&) = default;
};

inline constexpr InterfaceId IID_UNKNOWN{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr InterfaceId IID_DROP_TARGET{0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// One per native window that accepts drops, kept in its "VX_DropAccept"
// property; the registration holds a reference. Made in the general heap.
struct DropTarget final : native::DropTarget {
  DropTarget(std::int32_t type_code, ObjectId number, native::Window* window);

  native::HResult query_interface(const InterfaceId* id, void** out);
  std::uint32_t add_ref() override;
  std::uint32_t release() override;
  native::HResult drag_enter(const native::DataObject* data, std::uint32_t key_state, native::Point point,
                             std::uint32_t* effect) override;
  native::HResult drag_over(std::uint32_t key_state, native::Point point, std::uint32_t* effect) override;
  native::HResult drag_leave() override;
  native::HResult drop(const native::DataObject* data, std::uint32_t key_state, native::Point point,
                       std::uint32_t* effect) override;

  std::uint32_t reference_count = 1;
  std::int32_t gadget_type;  // 0 for a top-level window
  ObjectId number;
  native::Window* window;
  std::int32_t hover_item = -1;  // list-like gadgets only
  DropFormatEntry* standard_formats = nullptr;
  DropFormatEntry* private_formats = nullptr;
  std::int32_t match_state = DROP_MATCH_NONE;
  std::uint32_t matched_format = 0;  // or the matched key
  std::uint32_t reported_format = 0;
  std::uint32_t accepted_actions = 0;
};

// The data of a drop event.
struct DropRecord {
  std::uint32_t format;       // the matched format, or PRIVATE_DROP_FORMAT
  std::uint32_t private_key;  // 0 for standard formats
  std::uint32_t effect;
  std::int32_t x;  // client coordinates of the target
  std::int32_t y;
  std::uint8_t* data;  // a copy of the dropped block; none for private matches
  std::uint32_t size;
};

// Start-up step after the gadget layer, and its shutdown step.
void init_ole();
void shutdown_ole();

// Accepts (actions != 0) or withdraws (actions 0) a format on a gadget or on
// a top-level window. Nothing happens for a gadget or window that does not
// exist, or for format 0.
void enable_gadget_drop(ObjectId gadget, std::int32_t format, std::uint32_t actions, std::uint32_t private_key = 0);
void enable_native_window_drop(native::Window* window, ObjectId number, std::int32_t format, std::uint32_t actions,
                               std::uint32_t private_key = 0);

// Removes "VX_DropAccept" and revokes the registration; false when the window
// had no drop target.
bool release_drop_target(native::Window* window);

// The dropped file names of the current drop event, one line feed between
// names; empty for any other event. A name may itself hold a line feed, so
// a program that takes one name takes it with event_drop_file.
std::u16string event_drop_files();
// Name `index` (from 0) of the current drop event, whole; empty when there
// is no such name.
std::u16string event_drop_file(std::uint32_t index);

// Which action a drop performs, from what the target accepts, what the drag
// source allows and the keys held (Shift 4, Control 8, Alt 0x20).
constexpr std::uint32_t DROP_NONE = 0;
constexpr std::uint32_t DROP_COPY = 1;
constexpr std::uint32_t DROP_MOVE = 2;
constexpr std::uint32_t DROP_LINK = 4;

constexpr std::uint32_t KEY_SHIFT = 4;
constexpr std::uint32_t KEY_CONTROL = 8;
constexpr std::uint32_t KEY_ALT = 0x20;

std::uint32_t choose_drop_effect(std::uint32_t key_state, std::uint32_t accepted, std::uint32_t allowed);
