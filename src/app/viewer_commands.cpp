#include "app/viewer_commands.h"

#include "export/encoder_registry.h"
#include "image/save_image.h"
#include "screen/screen_file.h"
#include "screen/screen_view.h"
#include "screen/viewer_state.h"
#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/menus.h"
#include "ui/requesters.h"

#include "native/system/file.h"
#include "native/system/text.h"
#include "runtime/files.h"

#include <cstring>
#include <cwctype>

namespace {
constexpr ObjectId VIEWER_MENU = 0;
constexpr ObjectId VIEWER_IMAGE = 0;

// The reason as the system words it, then the name.
std::u16string save_failure_text(int error, std::u16string_view name) {
  std::u16string text = error ? native::from_utf8(native::file_error_text(error)) : u"The picture could not be written";
  text += u'\n';
  text += name;
  return text;
}

}  // namespace

std::u16string default_save_name(std::u16string_view file_name) {
  std::size_t dot = file_name.rfind(u'.');
  return std::u16string(dot == std::u16string_view::npos ? file_name : file_name.substr(0, dot));
}

std::u16string png_save_name(std::u16string_view answer) {
  std::u16string tail(answer.substr(answer.size() < 3 ? 0 : answer.size() - 3));
  for (char16_t& c : tail) c = static_cast<char16_t>(std::towlower(static_cast<wint_t>(c)));
  std::u16string name(answer);
  if (tail != u"png") name += u".png";
  return name;
}

void open_command() {
  std::u16string name = open_file_requester(u"Please choose file to load", current_directory(),
                                            u"Screen mode 4 (*.ss4)|*.ss4|All files (*.*)|*.*", 0);
  if (name.empty()) return;
  load_screen(name);
  render_screen();
}

void save_command() {
  std::u16string answer =
      save_file_requester(u"Please choose file to save", default_save_name(viewer_state().file_name),
                          u"Portable Network Graphics (*.png)|*.png", 0);
  if (answer.empty()) return;
  std::u16string name = png_save_name(answer);
  set_file_error(0);
  if (save_image(VIEWER_IMAGE, name.c_str(), ENCODER_PNG)) return;
  // The writer left what was on disk as it was; the user must know the
  // picture is not there.
  message_box(u"Save image", save_failure_text(file_error(), name), 0);
}

void scale_command(std::int32_t item) {
  if (get_menu_item_state(VIEWER_MENU, static_cast<std::uint32_t>(item))) return;
  set_menu_item_state(VIEWER_MENU, MENU_SCALE_1, item == MENU_SCALE_1);
  set_menu_item_state(VIEWER_MENU, MENU_SCALE_2, item == MENU_SCALE_2);
  viewer_state().scale = item == MENU_SCALE_1 ? 1 : 2;
  render_screen();
}

void drop_command() { load_screen(event_drop_file(0)); }
