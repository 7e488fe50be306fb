#include "screen/screen_view.h"

#include "screen/screen_file.h"
#include "screen/screen_painter.h"
#include "screen/viewer_state.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/images.h"
#include "ui/canvas.h"
#include "ui/requesters.h"

#include <string>

void load_screen(std::u16string_view name) {
  if (read_screen(name).status != ScreenReadStatus::loaded) {
    std::u16string text = BAD_SIZE_TEXT;
    text += u'\n';
    text += name;
    message_box(u"Wrong size", text, 0);
    return;
  }
  render_screen();
}

void render_screen() {
  if (!paint_loaded_screen()) return;
  if (start_drawing(canvas_output(0))) {
    if (viewer_state().scale == 1) {
      box(0, 0, CANVAS_WIDTH, CANVAS_HEIGHT, 0);
      draw_image(image_id(0), (CANVAS_WIDTH - SCREEN_WIDTH) / 2, (CANVAS_HEIGHT - SCREEN_HEIGHT) / 2);
    } else {
      draw_image(image_id(0), 0, 0);
    }
    stop_drawing();
  }
}
