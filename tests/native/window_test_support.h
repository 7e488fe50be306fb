#pragma once
// A fresh headless window system per test, and a recording window procedure
// whose log is compared with an expected sequence in one assertion.
#include "native/backends/headless/headless.h"
#include "native/windowing/window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace wintest {

struct Record {
  native::Window* window;
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  friend bool operator==(const Record&, const Record&) = default;
};

std::string message_name(std::uint32_t message);
void PrintTo(const Record& record, std::ostream* out);
std::ostream& operator<<(std::ostream& out, const Record& record);

// Answers a message itself instead of default processing when it returns a
// value.
using Handler =
    std::function<std::optional<std::intptr_t>(native::Window*, std::uint32_t, std::uintptr_t, std::intptr_t)>;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts a new log of only these messages (empty: every message).
  void record_only(std::initializer_list<std::uint32_t> messages);
  // Takes the log and starts a new one.
  std::vector<Record> take_log();
  void handle(Handler handler);

  // A top-level window of the recording class with the given client size.
  native::Window* make_window(int client_width, int client_height, std::uint32_t style = native::WS_OVERLAPPEDWINDOW,
                              const char16_t* class_name = u"Recorder");
  native::Window* make_child(native::Window* parent, int x, int y, int width, int height,
                             std::uint32_t style = native::WS_CHILD | native::WS_VISIBLE,
                             const char16_t* class_name = u"Recorder");
  // Dispatches everything pending, paint included; answers how many.
  int pump();
};

}  // namespace wintest
