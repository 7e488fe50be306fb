// Where the canvas sits when the window is not the canvas's size: the
// cases the window manager on the test display does not produce.
#include "native/backends/gtk/canvas_placement.h"

#include <gtest/gtest.h>

namespace {

TEST(CanvasPlacementTest, CentredInWhatTheWindowReallyShows) {
  const struct {
    const char* what;
    native::Rect area;  // the drawing area as GTK laid it out, below a 25-pixel bar
    int shown_width, shown_height;
    native::Point origin;
  } cases[] = {
      {"window smaller than the canvas: the corner, never less", {0, 25, 300, 225}, 300, 225, {0, 0}},
      {"real size not known yet: GTK's layout", {0, 25, 800, 625}, 0, 0, {144, 108}},
      {"GTK believes it larger than it is", {0, 25, 1280, 1024}, 800, 600, {144, 95}},
      {"GTK has not caught up with a larger window", {0, 25, 512, 409}, 1280, 1024, {0, 0}},
      {"an odd pixel left over goes right and below", {0, 25, 515, 414}, 515, 414, {1, 2}},
  };
  for (const auto& c : cases) {
    native::Point got = native::gtk::canvas_origin(c.area, c.shown_width, c.shown_height, 512, 384);
    EXPECT_EQ(got, c.origin) << c.what << ": got (" << got.x << ", " << got.y << ")";
  }
}

}  // namespace
