#pragma once
// Making a box modal over the program's other windows: every visible
// top-level window of the calling thread except the foreground one is
// disabled, and windows in the always-on-top band leave it, so the box can
// come to the front; leave_modal undoes exactly what enter_modal did.
#include <cstdint>
#include <vector>

namespace native {
struct Window;
}

struct ModalWindowRecord {
  std::uint32_t thread_id;
  native::Window* window;
  bool was_topmost;
  bool disabled_here;
};

// Brackets every box; calls pair up on one thread.
void enter_modal();
void leave_modal();
// The records of boxes now open, across threads, in the order made.
const std::vector<ModalWindowRecord>& modal_windows();

// The foreground window when it is one of this process's, else none.
native::Window* requester_owner();
