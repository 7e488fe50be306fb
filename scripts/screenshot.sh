#!/usr/bin/env bash
# Takes docs/screenshot.png: the viewer on the bundled raster_bars.ss4, window
# frame and menu bar included, on a private X server with the same window
# manager, theme and font settings as the end-to-end test.
#
#   scripts/screenshot.sh [TESSELON [SS4TOPNG]]   (defaults: the build/ ones)
set -euo pipefail
cd "$(dirname "$0")/.."

tesselon=${1:-build/src/tesselon/tesselon}
ss4topng=${2:-build/tools/ss4topng/ss4topng}
for program in "$tesselon" "$ss4topng"; do
  [ -x "$program" ] || { echo "screenshot.sh: $program is not built (make build)" >&2; exit 1; }
done
mkdir -p docs

/usr/bin/python3 - "$tesselon" "$ss4topng" samples/raster_bars.ss4 docs/screenshot.png <<'EOF'
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, "tests/e2e")
import xwindows
from pictures import Picture, screenshot
from viewer_process import Viewer
from xsession import XSession

tesselon, ss4topng, screen, output = (os.path.abspath(a) for a in sys.argv[1:])
with tempfile.TemporaryDirectory(prefix="tesselon-screenshot-") as work:
    expected = os.path.join(work, "expected.png")
    subprocess.run([ss4topng, "-o", expected, screen], check=True)
    with XSession(work) as session:
        viewer = Viewer(session, tesselon, [screen], work, "tesselon.log")
        viewer.wait_window()
        # Taken once the picture is on the canvas, not merely the window up.
        viewer.wait_canvas(Picture.load(expected), "the picture on the canvas")
        frame = xwindows.frame_rect(session, viewer.window)
        screenshot(session).crop(*frame).save(output)
print(f"screenshot.sh: wrote {os.path.relpath(output)} ({frame.width}x{frame.height})")
EOF
