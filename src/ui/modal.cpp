#include "ui/modal.h"

#include "native/system/process.h"
#include "native/windowing/window.h"

#include <algorithm>

namespace {

// Shared by every thread; each thread only ever takes its own records out.
std::vector<ModalWindowRecord> records;

constexpr std::uint32_t KEEP_PLACE = native::SWP_NOSIZE | native::SWP_NOMOVE;

}  // namespace

void enter_modal() {
  std::uint32_t thread = native::get_current_thread_id();
  for (native::Window* window : native::top_level_windows()) {
    if (native::get_window_thread_process_id(window) != thread || !native::is_window_visible(window)) continue;
    ModalWindowRecord record{
        thread, window, (native::get_window_long(window, native::GWL_EXSTYLE) & native::WS_EX_TOPMOST) != 0, false};
    if (window != native::get_foreground_window() && native::is_window_enabled(window)) {
      native::enable_window(window, false);
      record.disabled_here = true;
    }
    records.push_back(record);
  }
  // Indexes, not iterators: moving a window sends messages, and a procedure
  // may open a box of its own.
  for (std::size_t i = 0; i < records.size(); ++i)
    if (records[i].thread_id == thread && records[i].was_topmost)
      native::set_window_pos(records[i].window, native::HWND_NOTOPMOST, 0, 0, 0, 0, KEEP_PLACE);
}

void leave_modal() {
  std::uint32_t thread = native::get_current_thread_id();
  // Taken out first, so that whatever the windows' procedures do on the way
  // back cannot disturb the walk.
  std::vector<ModalWindowRecord> own;
  auto others = std::stable_partition(records.begin(), records.end(),
                                      [thread](const ModalWindowRecord& r) { return r.thread_id != thread; });
  own.assign(others, records.end());
  records.erase(others, records.end());
  for (const ModalWindowRecord& record : own) {
    if (record.disabled_here) native::enable_window(record.window, true);
    if (record.was_topmost) native::set_window_pos(record.window, native::HWND_TOPMOST, 0, 0, 0, 0, KEEP_PLACE);
  }
}

const std::vector<ModalWindowRecord>& modal_windows() { return records; }

native::Window* requester_owner() {
  native::Window* foreground = native::get_foreground_window();
  if (!foreground) return nullptr;
  std::uint32_t process = 0;
  native::get_window_thread_process_id(foreground, &process);
  return process == native::get_current_process_id() ? foreground : nullptr;
}
