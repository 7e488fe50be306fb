#pragma once
// A fresh runtime on the headless display for every gadget test: the event
// queue, images and drawing, the gadget layer and drop support, and a plain
// top-level window (window number 0) as the current gadget-list window.
#include "runtime_fixture.h"

#include "ui/canvas.h"
#include "ui/event_queue.h"

#include "native/windowing/messages.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace native {
struct Window;
}

// One taken event, with the parts of its canvas record that tests compare.
struct Seen {
  std::int32_t code = EVENT_GADGET;
  ObjectId object = 0;
  ObjectId window = 0;
  std::int32_t type = 0;
  std::int32_t wheel = 0;
  std::int32_t input = 0;
  std::int32_t key = 0;
  bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Seen& seen);

class GadgetTest : public RuntimeTest {
 protected:
  void SetUp() override;
  // Also proves that no bitmap, device context or brush outlived the test.
  void TearDown() override;

  native::Window* parent() const { return parent_; }
  // Where a canvas point is on the screen.
  native::Point on_screen(native::Window* window, int x, int y) const;

 private:
  native::Window* parent_ = nullptr;
};

// Fetches, translates and dispatches every pending message, paints included.
void pump();
// Dispatches every pending message, taking the events each one raised
// before the next is dispatched, as the event wait does.
std::vector<Seen> events();
