#pragma once
// Pictures in other formats, as gdk-pixbuf saves them; and JPEGs as cameras
// write them: gdk-pixbuf's JPEG with an Exif segment carrying the
// orientation tag put in by hand (gdk-pixbuf reads the tag, never writes it).
#include <cstdint>
#include <vector>

// `rgb` is width x height pixels, 3 bytes each, top row first. Empty if
// gdk-pixbuf cannot save it. `quality` counts for JPEG only.
std::vector<std::uint8_t> saved_as(const char* format, const std::vector<std::uint8_t>& rgb, int width, int height,
                                   int quality = 75);

// An orientation of 0 leaves the tag out.
std::vector<std::uint8_t> camera_jpeg(const std::vector<std::uint8_t>& rgb, int width, int height, int orientation,
                                      int quality = 75);
