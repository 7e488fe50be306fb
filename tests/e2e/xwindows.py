"""Finding windows, their geometry and stacking, and acting on them as a user
would: through xdotool, wmctrl, xwininfo and xprop, on the session's
display."""

import re
import time
from collections import namedtuple

Rect = namedtuple("Rect", "x y width height")


def find(session, title_regex, visible=True):
    """Ids of the windows whose title matches, for example '^Wrong size$'."""
    args = ["xdotool", "search"] + (["--onlyvisible"] if visible else []) + ["--name", title_regex]
    out = session.run(args, check=False)
    return [int(line) for line in out.split()]


def find_one(session, title_regex, visible=True):
    ids = find(session, title_regex, visible)
    return ids[0] if len(ids) == 1 else None


def client_rect(session, window):
    """The window's own area (inside any frame), in screen coordinates."""
    out = session.run(["xwininfo", "-id", str(window)]).decode()

    def field(name):
        return int(re.search(rf"{name}:\s+(-?\d+)", out).group(1))

    return Rect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))


def frame_extents(session, window):
    """(left, right, top, bottom) of the window manager's frame, zeros when
    it has not said."""
    out = session.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"], check=False).decode()
    numbers = re.findall(r"\d+", out.partition("=")[2])
    return tuple(int(n) for n in numbers) if len(numbers) == 4 else (0, 0, 0, 0)


def frame_rect(session, window):
    client = client_rect(session, window)
    left, right, top, bottom = frame_extents(session, window)
    return Rect(client.x - left, client.y - top, client.width + left + right, client.height + top + bottom)


def _frames_top_first(session):
    out = session.run(["xwininfo", "-root", "-children"]).decode()
    return [int(n, 16) for n in re.findall(r"^\s+(0x[0-9a-f]+) ", out, re.M)]


def _frame_of(session, window):
    """The root's child that holds the window: the window manager's frame."""
    while True:
        out = session.run(["xwininfo", "-id", str(window), "-tree"]).decode()
        root = int(re.search(r"Root window id: (0x[0-9a-f]+)", out).group(1), 16)
        parent = int(re.search(r"Parent window id: (0x[0-9a-f]+)", out).group(1), 16)
        if parent in (root, 0):
            return window
        window = parent


def is_above(session, upper, lower):
    """Whether upper is stacked above lower, from the X server's own order
    (the window manager's _NET_CLIENT_LIST_STACKING is not ordered within a
    layer by every window manager)."""
    order = _frames_top_first(session)
    return order.index(_frame_of(session, upper)) < order.index(_frame_of(session, lower))


def active(session):
    out = session.run(["xdotool", "getactivewindow"], check=False).split()
    return int(out[0]) if out else None


def activate(session, window, timeout=10.0):
    """Asks the window manager to raise and focus the window, then waits
    until it is the active one (xdotool's own --sync has no deadline)."""
    session.run(["xdotool", "windowactivate", str(window)], check=False)
    deadline = time.monotonic() + timeout
    while active(session) != window:
        if time.monotonic() > deadline:
            raise RuntimeError(f"window {window:#x} did not become active")
        time.sleep(0.05)


def close(session, window):
    """The close box, as the window manager sends it."""
    session.run(["wmctrl", "-i", "-c", hex(window)])


def set_state(session, window, change):
    """Asks the window manager to change the window's state, as any program
    may: "add,fullscreen", "remove,maximized_vert,maximized_horz"."""
    session.run(["wmctrl", "-i", "-r", hex(window), "-b", change])


def resize(session, window, width, height):
    """Another program asks for the window's size (the window manager
    decides)."""
    session.run(["xdotool", "windowsize", str(window), str(width), str(height)])


def key(session, *keys):
    session.run(["xdotool", "key", "--clearmodifiers"] + list(keys))


def type_text(session, text):
    session.run(["xdotool", "type", "--delay", "15", "--", text])


def click(session, x, y):
    # Moving first and pausing lets the toolkit see the pointer enter before
    # the press, as with a real mouse.
    session.run(["xdotool", "mousemove", str(x), str(y)])
    time.sleep(0.1)
    session.run(["xdotool", "click", "1"])


def drag(session, start, end, steps=8, pause=0.08):
    """Press, move in steps, release. Without pauses between the steps GTK
    cancels the drag before it starts."""
    run = session.run
    run(["xdotool", "mousemove", str(start[0]), str(start[1])])
    time.sleep(pause)
    run(["xdotool", "mousedown", "1"])
    time.sleep(pause)
    for i in range(1, steps + 1):
        x = start[0] + (end[0] - start[0]) * i // steps
        y = start[1] + (end[1] - start[1]) * i // steps
        run(["xdotool", "mousemove", str(x), str(y)])
        time.sleep(pause)
    # A last wiggle on the target so it has seen the pointer at rest there.
    run(["xdotool", "mousemove", str(end[0] + 1), str(end[1] + 1)])
    time.sleep(pause)
    run(["xdotool", "mousemove", str(end[0]), str(end[1])])
    time.sleep(pause)
    run(["xdotool", "mouseup", "1"])
