"""One running viewer: its process, its window and its canvas on the screen."""

import os
import time

import xwindows
from pictures import Picture, screenshot
from xsession import Timeout, wait_for
from xwindows import Rect

TITLE = "^Tesselon$"
CANVAS_WIDTH, CANVAS_HEIGHT = 512, 384


class ViewerDied(Exception):
    pass


class CanvasMismatch(Exception):
    """The canvas never showed the expected picture; got is the last seen."""

    def __init__(self, message, got, expected):
        super().__init__(message)
        self.got, self.expected = got, expected


class Viewer:
    def __init__(self, session, binary, args, cwd, log_name, env_extra=None):
        self.session = session
        self.log_path = os.path.join(session.workdir, log_name)
        self.started_ns = time.monotonic_ns()
        self.process = session.spawn([binary] + list(args), log_name, env_extra=env_extra, cwd=cwd)
        self.window = None
        self.bar_height = None

    def alive(self):
        if self.process.poll() is not None:
            raise ViewerDied(f"tesselon exited with status {self.process.returncode}\n{self.log_tail()}")
        return True

    def wait_window(self, timeout=20):
        def found():
            self.alive()
            return xwindows.find_one(self.session, TITLE)

        self.window = wait_for("the Tesselon window", found, timeout)
        return self.window

    def client(self):
        return xwindows.client_rect(self.session, self.window)

    def below_bar(self):
        """The window below its menu bar: the canvas, or where the window
        manager has made the window larger, the canvas centred on black.
        The bar's height is taken the first time, at the window's own size."""
        c = self.client()
        if self.bar_height is None:
            self.bar_height = c.height - CANVAS_HEIGHT
        return Rect(c.x, c.y + self.bar_height, c.width, c.height - self.bar_height)

    def canvas_rect(self, below=None):
        a = below or self.below_bar()
        return Rect(a.x + max(0, (a.width - CANVAS_WIDTH) // 2), a.y + max(0, (a.height - CANVAS_HEIGHT) // 2),
                    CANVAS_WIDTH, CANVAS_HEIGHT)

    def wait_canvas(self, expected, what, timeout=20):
        """Polls until the canvas shows expected, on black all round when
        the window is larger than the canvas."""
        last, want = [], []

        def shows():
            self.alive()
            a = self.below_bar()
            c = self.canvas_rect(a)
            if not want or (want[0].width, want[0].height) != (a.width, a.height):
                want[:] = [Picture.filled(a.width, a.height).paste(expected, c.x - a.x, c.y - a.y)]
            last[:] = [screenshot(self.session).crop(*a)]
            return last[0] == want[0]

        try:
            wait_for(what, shows, timeout)
        except Timeout as e:
            raise CanvasMismatch(f"{e}: {last[0].differences(want[0])}", last[0], want[0]) from None

    def wait_exit(self, timeout=20):
        try:
            wait_for("tesselon to exit", lambda: self.process.poll() is not None, timeout)
        except Timeout:
            raise Timeout(f"tesselon still running {timeout:.0f} s later\n{self.log_tail()}")
        return self.process.returncode

    def log(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode(errors="replace")

    def log_tail(self, lines=40):
        text = self.log().rstrip().splitlines()
        return "tesselon's output (last lines):\n  " + "\n  ".join(text[-lines:]) if text else "(tesselon printed nothing)"
