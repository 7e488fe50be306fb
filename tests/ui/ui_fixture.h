#pragma once
// A fresh runtime on the headless window system for every test: the event
// layer, windows and menus started, everything freed afterwards.
#include "image/runtime_services.h"
#include "runtime_fixture.h"

#include "runtime/object_table.h"

#include <cstdint>
#include <ostream>
#include <vector>

struct SeenEvent {
  std::int32_t code;
  ObjectId object;
  ObjectId window;
  std::int32_t type;
  bool operator==(const SeenEvent&) const = default;
};
std::ostream& operator<<(std::ostream& out, const SeenEvent& e);

class UiTest : public RuntimeTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The services the fixture starts and stops: images and the window layer.
  virtual RuntimeServices services() const;

  // Waits without blocking until nothing is left, and answers the events
  // taken (message numbers the waits answered are left out).
  static std::vector<SeenEvent> events();
  // Every answer of the waits, messages included.
  static std::vector<std::int32_t> answers();
};
