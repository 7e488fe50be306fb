#!/usr/bin/python3
"""The real tesselon driven as a user would: on a private X server with a
window manager, through the mouse, the keyboard, the file dialogs and a drag
from another program, checking what the screen shows pixel for pixel against
pictures ss4topng makes.

    viewer_e2e.py --tesselon BIN --ss4topng BIN --samples DIR --work DIR

Steps run in order and the first failure ends the run; its screenshots stay
in WORK/screenshots and tesselon's output in WORK/*.log."""

import argparse
import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import time

# The helpers sit beside this file; keep the source tree free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import menu_finder  # noqa: E402
import xwindows  # noqa: E402
from pictures import Picture, save_comparison, screenshot  # noqa: E402
from viewer_process import CanvasMismatch, Viewer  # noqa: E402
from xsession import SCREEN_HEIGHT, SCREEN_WIDTH, Timeout, XSession, stop_process, wait_for  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
MIN_SS4_SIZE = 24617  # one byte less is "Wrong size"
CENTRE_TOLERANCE = 16  # room for the window manager's frame
MODE_MENU, X1_ITEM, X2_ITEM = 1, 0, 1
SAVE_DIALOG = "^Please choose file to save$"
OPEN_DIALOG = "^Please choose file to load$"
WRONG_SIZE = "^Wrong size$"
SAVE_FAILED = "^Save image$"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Steps:
    """Prints each step as it runs and remembers which one is running."""

    def __init__(self):
        self.current = None
        self.passed = 0

    @contextlib.contextmanager
    def __call__(self, name):
        self.current = name
        print(f"  {name} ...", end="", flush=True)
        started = time.monotonic()
        yield
        print(f" ok ({time.monotonic() - started:.1f} s)", flush=True)
        self.passed += 1
        self.current = None


class Test:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        # The screens live apart from the folder tesselon runs in, so a save
        # shows which folder the dialog started in.
        self.files = os.path.join(self.work, "files")
        self.run_dir = os.path.join(self.work, "run")
        self.screens = os.path.join(self.work, "screenshots")
        self.session = None
        self.viewer = None
        self.expected_now = None  # what the canvas should show
        self.steps = Steps()

    # Setting up

    def prepare(self):
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.run_dir)
        os.makedirs(self.files)
        samples = os.path.abspath(self.args.samples)
        for name in ("raster_bars.ss4", "test_pattern.ss4"):
            shutil.copyfile(os.path.join(samples, name), os.path.join(self.files, name))
        self.raster_bars = os.path.join(self.files, "raster_bars.ss4")
        self.test_pattern = os.path.join(self.files, "test_pattern.ss4")
        # A space in the dropped file's name makes its URI percent-encoded.
        self.dropped = os.path.join(self.files, "colour chart.ss4")
        shutil.copyfile(os.path.join(samples, "colour_chart.ss4"), self.dropped)
        # Screens off the machine's disks often have no extension.
        shutil.copyfile(self.raster_bars, os.path.join(self.run_dir, "SCREEN"))
        self.short = os.path.join(self.files, "short.ss4")
        with open(self.raster_bars, "rb") as f, open(self.short, "wb") as out:
            out.write(f.read(MIN_SS4_SIZE - 1))
        self.raster_bars_x2 = self.reference(self.raster_bars, 2)
        self.test_pattern_x2 = self.reference(self.test_pattern, 2)
        self.dropped_x2 = self.reference(self.dropped, 2)
        # Single size: the screen in the middle of a black canvas.
        x1 = self.reference(self.raster_bars, 1)
        self.raster_bars_x1 = Picture.filled(512, 384).paste(x1, 128, 96)

    def reference(self, screen, scale):
        out = os.path.join(self.work, "expected", f"{os.path.basename(screen)}-x{scale}.png")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        subprocess.run([self.args.ss4topng, "-s", str(scale), "-o", out, screen], check=True)
        return Picture.load(out)

    def start_viewer(self, log_name, *args, cwd=None, env_extra=None):
        self.viewer = Viewer(self.session, self.args.tesselon, args, cwd or self.run_dir, log_name, env_extra)
        self.viewer.wait_window()
        return self.viewer

    # Acting as the user

    def activate_viewer(self):
        xwindows.activate(self.session, self.viewer.window)

    def choose(self, title_index, item_index, item_count, marked=None):
        """Clicks a title in the menu bar, then an item of the menu that
        opens; both are found on the screen. marked: the item that should
        carry the check mark while the menu is open."""
        s, v = self.session, self.viewer
        client, canvas = v.client(), v.canvas_rect()
        bar_height = canvas.y - client.y
        before = screenshot(s)
        titles = menu_finder.bar_titles(before.crop(client.x, client.y, client.width, bar_height))
        check(len(titles) == 2, f"expected two titles in the menu bar (File, Mode), found {len(titles)}")
        start, end = titles[title_index]
        xwindows.click(s, client.x + (start + end) // 2, client.y + bar_height // 2)

        seen = []

        def menu_open():
            # Open and drawn: the changed area over the canvas is there and
            # the same twice.
            shot = screenshot(s)
            box = menu_finder.changed_box(before, shot, canvas)
            if box and seen and seen[-1] == (box, shot):
                return box, shot
            seen[:] = [(box, shot)] if box else []
            return None

        box, shot = wait_for("the menu to open", menu_open, timeout=10)
        menu = shot.crop(*box)
        rows = menu_finder.item_rows(menu)
        check(len(rows) == item_count, f"expected {item_count} items in the open menu, found {len(rows)}")
        if marked is not None:
            found = menu_finder.marked_row(menu, rows)
            check(found == marked, f"the check mark is on item {found}, expected on item {marked} (from 0)")
        top, bottom = rows[item_index]
        xwindows.click(s, box.x + box.width // 2, box.y + (top + bottom) // 2)

    def wait_dialog(self, title):
        """The dialog appears, above the viewer (which gives up staying on
        top while a dialog is up), and takes the keyboard."""
        s = self.session
        dialog = wait_for(f"a window titled {title}", lambda: xwindows.find_one(s, title))

        wait_for(f"the dialog {title} to be above the viewer",
                 lambda: xwindows.is_above(s, dialog, self.viewer.window), timeout=10)
        xwindows.activate(s, dialog)
        return dialog

    def wait_gone(self, title):
        wait_for(f"the window {title} to go away", lambda: not xwindows.find(self.session, title))

    def answer_chooser(self, chooser, title):
        """Return in a file chooser, pressed again while the chooser stays
        up with the keyboard: GTK's chooser, when its program is slow (the
        sanitizer build), can drop a Return that follows typing at once."""
        s = self.session
        deadline = time.monotonic() + 20
        while True:
            xwindows.key(s, "Return")
            try:
                wait_for(f"the window {title} to go away", lambda: not xwindows.find(s, title), timeout=3)
                return
            except Timeout:
                if time.monotonic() > deadline or xwindows.active(s) != chooser:
                    raise
                print(" (Return again)", end="", flush=True)

    def open_with_ctrl_o(self, path):
        s = self.session
        self.activate_viewer()
        xwindows.key(s, "ctrl+o")
        chooser = self.wait_dialog(OPEN_DIALOG)
        # "/" opens the chooser's location box, which takes the rest.
        xwindows.type_text(s, "/")
        time.sleep(0.3)
        xwindows.type_text(s, path[1:])
        self.answer_chooser(chooser, OPEN_DIALOG)

    def long_name(self, length):
        """A name of that many characters in the screens' folder, that is
        not there."""
        stem = os.path.join(self.files, "")
        return stem + "n" * (length - len(stem) - 4) + ".ss4"

    def dismiss_box_on_screen(self, title):
        """The box is wholly on the screen, its buttons too, and Return
        closes it."""
        s = self.session
        box = self.wait_dialog(title)
        seen = []

        def on_screen():
            seen[:] = [xwindows.frame_rect(s, box)]
            r = seen[0]
            return r.x >= 0 and r.y >= 0 and r.x + r.width <= SCREEN_WIDTH and r.y + r.height <= SCREEN_HEIGHT

        try:
            wait_for(f"the box {title} to lie on the screen", on_screen, timeout=5)
        except Timeout as e:
            raise Failure(f"{e}: its frame is {seen[0]} on a {SCREEN_WIDTH}x{SCREEN_HEIGHT} screen") from None
        xwindows.key(s, "Return")
        self.wait_gone(title)

    def check_stays_above(self):
        """Raises another window over the viewer and checks the viewer is
        still on top, both in the stacking order and on the screen."""
        s, v = self.session, self.viewer
        frame = xwindows.frame_rect(s, v.window)
        geometry = f"{frame.width + 80}x{frame.height + 80}+{frame.x - 40}+{frame.y - 40}"
        other = s.spawn(["xlogo", "-geometry", geometry], "xlogo.log")
        try:
            logo = wait_for("the xlogo window", lambda: xwindows.find_one(s, "^xlogo$"))
            xwindows.activate(s, logo)
            r, c = xwindows.frame_rect(s, logo), v.canvas_rect()
            check(r.x < c.x + c.width and c.x < r.x + r.width and r.y < c.y + c.height and c.y < r.y + r.height,
                  f"the other window {r} does not overlap the canvas {c}")
            check(xwindows.is_above(s, v.window, logo), "the viewer is below a window raised after it")
            v.wait_canvas(self.expected_now, "the canvas to show over the other window", timeout=2)
        finally:
            stop_process(other)
        self.wait_gone("^xlogo$")

    def drop(self, path, expected, what):
        """Drags the file from another program's window, placed clear of
        the viewer wherever it is, onto the middle of the canvas."""
        s, v = self.session, self.viewer
        source_log = os.path.join(self.work, "drag_source.log")
        source = s.spawn(["/usr/bin/python3", os.path.join(HERE, "drag_source.py"), path, "1060", "40"],
                         "drag_source.log")
        try:
            wait_for("the drag source", lambda: b"ready" in open(source_log, "rb").read())
            r = xwindows.client_rect(s, wait_for("the drag source window",
                                                 lambda: xwindows.find_one(s, "^Drag source$")))
            c = v.canvas_rect()
            xwindows.drag(s, (r.x + r.width // 2, r.y + r.height // 2), (c.x + c.width // 2, c.y + c.height // 2))
            v.wait_canvas(expected, what)
        finally:
            stop_process(source)
        return open(source_log).read()

    def escape_held_elsewhere_ends(self, point):
        """Another program has the keyboard while Escape is held; the
        pointer moving to point, over the viewer, is the viewer's next
        event, and it ends with status 0."""
        s, v = self.session, self.viewer
        other = s.spawn(["xlogo", "-geometry", "160x160+1060+400"], "xlogo-escape.log")
        try:
            logo = wait_for("the xlogo window", lambda: xwindows.find_one(s, "^xlogo$"))
            r = xwindows.client_rect(s, logo)
            s.run(["xdotool", "mousemove", str(r.x + r.width // 2), str(r.y + r.height // 2)])
            xwindows.activate(s, logo)
            s.run(["xdotool", "keydown", "Escape"])
            try:
                s.run(["xdotool", "mousemove", str(point[0]), str(point[1])])
                status = v.wait_exit()
            finally:
                s.run(["xdotool", "keyup", "Escape"])
        finally:
            stop_process(other)
        check(status == 0, f"exit status {status}\n{v.log_tail()}")

    def wait_client_size(self, width, height):
        v = self.viewer
        wait_for(f"the window to be {width}x{height}", lambda: v.client()[2:] == (width, height), timeout=10)

    # The steps

    def run(self):
        steps = self.steps
        s = self.session

        with steps("a. starts on a screen file and shows it at double size"):
            v = self.start_viewer("tesselon.log", self.raster_bars)
            client = v.client()
            check(client.width == 512 and client.height > 384,
                  f"client area {client.width}x{client.height}: expected 512 wide, a menu bar above 384")
            self.expected_now = self.raster_bars_x2
            v.wait_canvas(self.raster_bars_x2, "the canvas to show raster_bars.ss4 at x2")

        with steps("b. the window is centred on the screen"):
            frame, client = xwindows.frame_rect(s, v.window), v.client()

            def off_centre(r):
                return (abs(2 * r.x + r.width - SCREEN_WIDTH) / 2, abs(2 * r.y + r.height - SCREEN_HEIGHT) / 2)

            check(any(max(off_centre(r)) <= CENTRE_TOLERANCE for r in (frame, client)),
                  f"frame {frame} is {off_centre(frame)} px and client {client} {off_centre(client)} px "
                  f"off the centre of the {SCREEN_WIDTH}x{SCREEN_HEIGHT} screen")

        with steps("b. the window stays above another window raised over it"):
            self.check_stays_above()

        with steps("c. Mode > x1 (checked: x2) shows the screen at single size, centred on black"):
            self.choose(MODE_MENU, X1_ITEM, 2, marked=X2_ITEM)
            v.wait_canvas(self.raster_bars_x1, "the canvas to show raster_bars.ss4 at x1")

        with steps("c. choosing the checked x1 again changes nothing and keeps its mark"):
            # GTK flips a check item on every click; the program owns the mark.
            self.choose(MODE_MENU, X1_ITEM, 2, marked=X1_ITEM)
            v.wait_canvas(self.raster_bars_x1, "the canvas to keep raster_bars.ss4 at x1")

        with steps("c. the check mark is still on x1, and Mode > x2 shows double size again"):
            self.choose(MODE_MENU, X2_ITEM, 2, marked=X1_ITEM)
            v.wait_canvas(self.raster_bars_x2, "the canvas to show raster_bars.ss4 at x2")

        with steps("d. Ctrl+S, a name and Return save the picture as NAME.png beside the screen"):
            self.activate_viewer()
            xwindows.key(s, "ctrl+s")
            chooser = self.wait_dialog(SAVE_DIALOG)
            xwindows.key(s, "ctrl+a")
            xwindows.type_text(s, "shot")
            self.answer_chooser(chooser, SAVE_DIALOG)
            saved = os.path.join(self.files, "shot.png")
            wait_for(f"{saved} to be written", lambda: os.path.exists(saved))
            got = wait_for(f"{saved} to be complete", lambda: self.load_if_complete(saved))
            if got != self.raster_bars_x2:
                raise CanvasMismatch(f"{saved}: {got.differences(self.raster_bars_x2)}", got, self.raster_bars_x2)

        with steps("e. Escape cancels the file chooser and the viewer carries on"):
            self.activate_viewer()
            xwindows.key(s, "ctrl+o")
            self.wait_dialog(OPEN_DIALOG)
            xwindows.key(s, "Escape")
            self.wait_gone(OPEN_DIALOG)
            # The Escape was the dialog's: the events that follow must not
            # end the program (the next step's Ctrl+O shows it still works).
            c = v.canvas_rect()
            xwindows.click(s, c.x + 10, c.y + 10)
            v.alive()

        with steps("e. Ctrl+O and a path typed in the file chooser open that screen"):
            self.open_with_ctrl_o(self.test_pattern)
            self.expected_now = self.test_pattern_x2
            v.wait_canvas(self.test_pattern_x2, "the canvas to show test_pattern.ss4")

        with steps("e. a file too short brings up Wrong size, Return dismisses it"):
            self.open_with_ctrl_o(self.short)
            self.wait_dialog(WRONG_SIZE)
            xwindows.key(s, "Return")
            self.wait_gone(WRONG_SIZE)
            # The window manager takes the dialog's frame down a moment later.
            v.wait_canvas(self.test_pattern_x2, "the canvas to keep test_pattern.ss4 after the rejected file")

        with steps("b. after the dialogs the window is on top again"):
            self.check_stays_above()

        with steps("f. a file dropped from another program is shown"):
            sent = self.drop(self.dropped, self.dropped_x2, "the canvas to show the dropped colour chart.ss4")
            check("colour%20chart.ss4" in sent, f"the drag source did not send an encoded URI: {sent!r}")

        with steps("h. a save that cannot be written brings up Save image, Return dismisses it"):
            before = {d: sorted(os.listdir(d)) for d in (self.files, self.run_dir)}
            self.activate_viewer()
            xwindows.key(s, "ctrl+s")
            chooser = self.wait_dialog(SAVE_DIALOG)
            xwindows.key(s, "ctrl+a")
            xwindows.type_text(s, "/proc/pic.png")
            self.answer_chooser(chooser, SAVE_DIALOG)
            self.wait_dialog(SAVE_FAILED)
            xwindows.key(s, "Return")
            self.wait_gone(SAVE_FAILED)
            v.alive()
            after = {d: sorted(os.listdir(d)) for d in (self.files, self.run_dir)}
            check(not os.path.exists("/proc/pic.png") and after == before, f"files changed: {before} -> {after}")

        with steps("g. Escape ends the program with status 0"):
            self.activate_viewer()
            # Held until the program is gone, as a user would.
            s.run(["xdotool", "keydown", "Escape"])
            try:
                status = v.wait_exit()
            finally:
                s.run(["xdotool", "keyup", "Escape"])
            check(status == 0, f"exit status {status}\n{v.log_tail()}")

        with steps("g. the close box ends a fresh viewer with status 0"):
            v = self.start_viewer("tesselon-close.log", self.raster_bars)
            self.expected_now = self.raster_bars_x2
            v.wait_canvas(self.raster_bars_x2, "the canvas to show raster_bars.ss4")
            xwindows.close(s, v.window)
            status = v.wait_exit()
            check(status == 0, f"exit status {status}\n{v.log_tail()}")

        with steps("h. Wrong size for a name of 5,000 characters lies on the screen, Return dismisses it"):
            v = self.start_viewer("tesselon-root.log", self.long_name(5000), cwd="/")
            self.dismiss_box_on_screen(WRONG_SIZE)
            check("WARNING" not in v.log(), f"GTK warned\n{v.log_tail()}")

        with steps("h. started in /, the open dialog starts there: a path relative to / opens"):
            self.activate_viewer()
            xwindows.key(s, "ctrl+o")
            chooser = self.wait_dialog(OPEN_DIALOG)
            # The location box takes a name relative to the dialog's folder.
            xwindows.key(s, "ctrl+l")
            time.sleep(0.3)
            xwindows.type_text(s, os.path.relpath(self.test_pattern, "/"))
            self.answer_chooser(chooser, OPEN_DIALOG)
            v.wait_canvas(self.test_pattern_x2, "the canvas to show test_pattern.ss4")
            xwindows.close(s, v.window)
            check(v.wait_exit() == 0, f"exit status {v.process.returncode}\n{v.log_tail()}")

        with steps("h. Wrong size for a name of 400 characters lies on the screen, Return dismisses it"):
            # The chooser's first file icon makes GIO sniff a content type,
            # and GIO keeps what that reads for good: under the sanitizer
            # only the full unwinder finds the caller the suppressions name.
            unwind = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "fast_unwind_on_malloc=0"]))
            v = self.start_viewer("tesselon-all-files.log", self.long_name(400), env_extra={"ASAN_OPTIONS": unwind})
            self.dismiss_box_on_screen(WRONG_SIZE)
            check("WARNING" not in v.log(), f"GTK warned\n{v.log_tail()}")

        with steps("h. All files (*.*), chosen by keyboard, lists a screen without a dot and opens it"):
            self.activate_viewer()
            xwindows.key(s, "ctrl+o")
            chooser = self.wait_dialog(OPEN_DIALOG)
            # The chooser starts in the folder tesselon runs in, with the
            # file list focused; the filter is the next stop after it.
            for keys in ("Tab", "Down", "shift+Tab", "Home"):
                time.sleep(0.3)
                xwindows.key(s, keys)
            self.answer_chooser(chooser, OPEN_DIALOG)
            v.wait_canvas(self.raster_bars_x2, "the canvas to show SCREEN, a copy of raster_bars.ss4")

        with steps("h. Escape held down to cancel the file chooser is the chooser's: the viewer carries on"):
            c = v.canvas_rect()
            self.activate_viewer()
            xwindows.key(s, "ctrl+o")
            self.wait_dialog(OPEN_DIALOG)
            s.run(["xdotool", "keydown", "Escape"])
            try:
                self.wait_gone(OPEN_DIALOG)
                for x in (c.x + 10, c.x + c.width // 2):
                    s.run(["xdotool", "mousemove", str(x), str(c.y + c.height // 2)])
                    time.sleep(0.1)
                v.alive()
            finally:
                s.run(["xdotool", "keyup", "Escape"])

        with steps("h. Escape held while another program has the keyboard ends the program at the next event"):
            # The pointer crossing onto the canvas is the event.
            c = v.canvas_rect()
            self.escape_held_elsewhere_ends((c.x + c.width // 2, c.y + c.height // 2))

        with steps("g. Escape held while another program has the keyboard counts over the menu bar too"):
            v = self.start_viewer("tesselon-menu-bar.log", self.raster_bars)
            v.wait_canvas(self.raster_bars_x2, "the canvas to show raster_bars.ss4")
            client, c = v.client(), v.canvas_rect()
            # Right of the titles, on the bar itself.
            self.escape_held_elsewhere_ends((client.x + client.width * 3 // 4, (client.y + c.y) // 2))

        with steps("b. fullscreen centres the picture on black; leaving it gives the window back its size"):
            v = self.start_viewer("tesselon-fullscreen.log", self.raster_bars)
            v.wait_canvas(self.raster_bars_x2, "the canvas to show raster_bars.ss4")
            own = v.client()

            def in_state_and_back(state, wait_in_state, shown):
                xwindows.set_state(s, v.window, "add," + state)
                wait_in_state()
                v.wait_canvas(self.raster_bars_x2, shown)
                xwindows.set_state(s, v.window, "remove," + state)
                self.wait_client_size(own.width, own.height)
                v.wait_canvas(self.raster_bars_x2, "the canvas to show raster_bars.ss4 again")

            in_state_and_back("fullscreen", lambda: self.wait_client_size(SCREEN_WIDTH, SCREEN_HEIGHT),
                              "the picture centred on black below the menu bar")

        with steps("b. maximised, the window keeps its size or centres the picture"):
            # Room for the window manager's answer, if it has one.
            in_state_and_back("maximized_vert,maximized_horz", lambda: time.sleep(0.3), "the picture below the menu bar")

        with steps("b. fullscreen, then resized back by another program: the picture, a drop, Escape held elsewhere"):
            xwindows.set_state(s, v.window, "add,fullscreen")
            self.wait_client_size(SCREEN_WIDTH, SCREEN_HEIGHT)
            # jwm makes the window its own size at the first request and
            # answers the second, which changes nothing, with its fullscreen
            # size in a synthetic event: GTK then believes the window 1280
            # wide while the X server shows it 512.
            for _ in range(2):
                xwindows.resize(s, v.window, own.width, own.height)
                self.wait_client_size(own.width, own.height)
            time.sleep(0.3)
            v.wait_canvas(self.raster_bars_x2, "the canvas to show raster_bars.ss4 at the window's own size")
            self.drop(self.dropped, self.dropped_x2, "the canvas to show the dropped colour chart.ss4")
            c = v.canvas_rect()
            self.escape_held_elsewhere_ends((c.x + c.width // 2, c.y + c.height // 2))

    @staticmethod
    def load_if_complete(path):
        try:
            return Picture.load(path)
        except subprocess.CalledProcessError:
            return None

    # Reporting

    def report_failure(self, error):
        step = self.steps.current or "setting up"
        print(" FAILED" if self.steps.current else "", flush=True)
        print(f"\nFAILED at step: {step}\n{error}", flush=True)
        slug = re.sub(r"[^a-z0-9]+", "-", step.lower()).strip("-")[:40]
        kept = []
        if isinstance(error, CanvasMismatch):
            kept += save_comparison(self.screens, slug, error.got, error.expected)
        if self.session is not None and self.session.xvfb is not None:
            with contextlib.suppress(Exception):
                os.makedirs(self.screens, exist_ok=True)
                path = os.path.join(self.screens, f"{slug}-screen.png")
                screenshot(self.session).save(path)
                kept.append(path)
        if self.viewer is not None and "tesselon's output" not in str(error):
            print(self.viewer.log_tail(), flush=True)
        if kept:
            print(f"screenshots kept in {self.screens}:", *[os.path.basename(p) for p in kept])
        print(f"logs in {self.work}")


def main():
    # A runner's time-out or ^C still passes through the clean-up below.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tesselon", required=True)
    parser.add_argument("--ss4topng", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    # tesselon runs in a folder of its own (the dialogs start there).
    args.tesselon, args.ss4topng = os.path.abspath(args.tesselon), os.path.abspath(args.ss4topng)
    test = Test(args)
    started = time.monotonic()
    print(f"viewer_e2e: {test.args.tesselon}", flush=True)
    try:
        test.prepare()
        with XSession(test.work) as session:
            test.session = session
            try:
                test.run()
            except Exception as error:
                test.report_failure(error)
                return 1
    except Exception as error:
        test.report_failure(error)
        return 1
    print(f"viewer_e2e: all {test.steps.passed} steps passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
