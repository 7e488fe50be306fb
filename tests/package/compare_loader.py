"""Opens a screen through gdk-pixbuf (GDK_PIXBUF_MODULE_FILE names the loader
cache) and compares its pixels with ss4topng's RGB PNG of the same size.
Usage: compare_loader.py SCREEN X1_PNG X2_PNG"""
import struct
import sys
import zlib

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402


def read_rgb_png(path):
    """ss4topng --rgb writes 8-bit RGB, unfiltered rows: enough to decode
    here without going through the library under test."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert (depth, colour) == (8, 2), f"{path}: not 8-bit RGB"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = 1 + 3 * width
    rows = [raw[y * stride:(y + 1) * stride] for y in range(height)]
    assert all(row[0] == 0 for row in rows), f"{path}: filtered rows"
    return width, height, b"".join(row[1:] for row in rows)


def main():
    screen, x1, x2 = sys.argv[1:4]
    pixbuf = GdkPixbuf.Pixbuf.new_from_file(screen)
    width, height = pixbuf.get_width(), pixbuf.get_height()
    references = {(w, h): pixels for w, h, pixels in map(read_rgb_png, (x1, x2))}
    if (width, height) not in references:
        sys.exit(f"the loader gives {width}x{height}, neither of ss4topng's sizes")
    channels, stride = pixbuf.get_n_channels(), pixbuf.get_rowstride()
    data = pixbuf.get_pixels()
    got = b"".join(
        bytes(data[y * stride + x * channels + c] for x in range(width) for c in range(3)) for y in range(height)
    )
    expected = references[(width, height)]
    if got != expected:
        first = next(i for i in range(len(got)) if got[i] != expected[i]) // 3
        sys.exit(f"pixel ({first % width}, {first // width}) differs from ss4topng's")
    if channels == 4 and any(data[y * stride + x * 4 + 3] != 255 for y in range(height) for x in range(width)):
        sys.exit("the loader's picture is not opaque")
    print(f"{width}x{height}, {len(got) // 3} pixels equal to ss4topng's")


main()
