"""One running viewer: its process, its window and its canvas on the screen."""

import os
import time

import xwindows
from pictures import screenshot
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

    def canvas_rect(self):
        """The canvas is the bottom of the client area; the menu bar is
        above it."""
        c = self.client()
        return Rect(c.x, c.y + c.height - CANVAS_HEIGHT, CANVAS_WIDTH, CANVAS_HEIGHT)

    def canvas(self, shot=None):
        r = self.canvas_rect()
        return (shot or screenshot(self.session)).crop(r.x, r.y, r.width, r.height)

    def wait_canvas(self, expected, what, timeout=20):
        """Polls until the canvas shows expected."""
        last = []

        def shows():
            self.alive()
            last[:] = [self.canvas()]
            return last[0] == expected

        try:
            wait_for(what, shows, timeout)
        except Timeout as e:
            raise CanvasMismatch(f"{e}: {last[0].differences(expected)}", last[0], expected) from None

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
