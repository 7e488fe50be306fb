#pragma once
// Keyboard accelerator tables and their translation of key-down messages
// into WM_COMMAND.
#include "native/windowing/messages.h"

#include <cstdint>

namespace native {

struct AccelTable;

constexpr std::uint8_t FVIRTKEY = 0x01;
constexpr std::uint8_t FNOINVERT = 0x02;
constexpr std::uint8_t FSHIFT = 0x04;
constexpr std::uint8_t FCONTROL = 0x08;
constexpr std::uint8_t FALT = 0x10;

struct Accel {
  std::uint8_t flags = 0;
  std::uint16_t key = 0;
  std::uint16_t cmd = 0;
  friend bool operator==(const Accel&, const Accel&) = default;
};

AccelTable* create_accelerator_table(const Accel* entries, int count);  // null for count < 1
bool destroy_accelerator_table(AccelTable* table);
// Copies up to `capacity` entries; with a null buffer answers the count.
int copy_accelerator_table(AccelTable* table, Accel* out, int capacity);
// For WM_KEYDOWN / WM_SYSKEYDOWN (virtual-key entries) and WM_CHAR /
// WM_SYSCHAR (character entries) matching an entry whose Shift, Control and
// Alt flags equal the keys held: sends WM_COMMAND (cmd, 1), 0 to the window
// and answers non-zero.
int translate_accelerator(Window* window, AccelTable* table, const Message& message);

}  // namespace native
