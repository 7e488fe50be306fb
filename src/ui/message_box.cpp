#include "ui/message_box.h"

#include "native/windowing/dialogs.h"
#include "ui/modal.h"

std::int32_t message_box(std::u16string_view title, std::u16string_view text, std::uint32_t flags) {
  enter_modal();
  // Asked after the other windows were made modal: lifting a window out of
  // the always-on-top band may have brought it to the front.
  native::Window* owner = requester_owner();
  std::int32_t answer = native::message_box(owner, text, title, flags);
  leave_modal();
  return answer;
}
