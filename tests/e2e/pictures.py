"""RGB pictures read from the screen or from PNG files, compared pixel by
pixel. ImageMagick does the file formats (its im6 names first: the first
`convert` on PATH may be something else); the comparing is done here so a
failure can say where the pictures differ."""

import os
import shutil
import subprocess


def _tool(name):
    return shutil.which(f"{name}-im6.q16") or shutil.which(name) or name


CONVERT = _tool("convert")
IMPORT = _tool("import")


class Picture:
    def __init__(self, width, height, rgb):
        assert len(rgb) == width * height * 3
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    @staticmethod
    def from_ppm(data):
        # Binary PPM as ImageMagick writes it: "P6 W H 255" and one blank.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("not an 8-bit binary PPM")
        width, height = int(fields[1]), int(fields[2])
        return Picture(width, height, data[pos + 1:pos + 1 + width * height * 3])

    @staticmethod
    def load(path):
        out = subprocess.run([CONVERT, path, "-depth", "8", "-alpha", "off", "ppm:-"], check=True,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout
        return Picture.from_ppm(out)

    @staticmethod
    def filled(width, height, colour=(0, 0, 0)):
        return Picture(width, height, bytes(colour) * (width * height))

    def save(self, path):
        # Without time stamps the same picture makes the same file.
        subprocess.run([CONVERT, "ppm:-", "-strip", "-define", "png:exclude-chunks=date,time", path],
                       input=self.ppm(), check=True, stderr=subprocess.PIPE)

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb

    def row(self, y):
        return self.rgb[y * self.width * 3:(y + 1) * self.width * 3]

    def crop(self, x, y, width, height):
        if x < 0 or y < 0 or x + width > self.width or y + height > self.height:
            raise ValueError(f"{width}x{height}+{x}+{y} is not inside {self.width}x{self.height}")
        rows = (self.rgb[((y + r) * self.width + x) * 3:((y + r) * self.width + x + width) * 3]
                for r in range(height))
        return Picture(width, height, b"".join(rows))

    def paste(self, other, x, y):
        """A copy of this picture with other drawn at (x, y)."""
        out = bytearray(self.rgb)
        for r in range(other.height):
            start = ((y + r) * self.width + x) * 3
            out[start:start + other.width * 3] = other.row(r)
        return Picture(self.width, self.height, out)

    def __eq__(self, other):
        return (self.width, self.height, self.rgb) == (other.width, other.height, other.rgb)

    def differences(self, other):
        """How many pixels differ and the first one, as text."""
        if (self.width, self.height) != (other.width, other.height):
            return f"size {self.width}x{self.height}, expected {other.width}x{other.height}"
        count, first = 0, None
        for y in range(self.height):
            a, b = self.row(y), other.row(y)
            if a == b:
                continue
            for x in range(self.width):
                if a[x * 3:x * 3 + 3] != b[x * 3:x * 3 + 3]:
                    count += 1
                    if first is None:
                        first = (x, y, tuple(a[x * 3:x * 3 + 3]), tuple(b[x * 3:x * 3 + 3]))
        if count == 0:
            return "no differences"
        x, y, got, want = first
        return f"{count} pixels differ, first at ({x}, {y}): got #{bytes(got).hex()}, expected #{bytes(want).hex()}"


def screenshot(session):
    """The whole screen as it shows: whatever window is on top is in it."""
    return Picture.from_ppm(session.run([IMPORT, "-window", "root", "-depth", "8", "ppm:-"]))


def save_comparison(folder, name, got, expected):
    """Keeps both pictures and ImageMagick's difference image for a failure."""
    os.makedirs(folder, exist_ok=True)
    paths = [os.path.join(folder, f"{name}-{kind}.png") for kind in ("got", "expected", "diff")]
    got.save(paths[0])
    expected.save(paths[1])
    if (got.width, got.height) == (expected.width, expected.height):
        subprocess.run([_tool("compare"), "-metric", "AE", paths[0], paths[1], paths[2]],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return paths
