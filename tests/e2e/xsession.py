"""A private X display for driving real windows: Xvfb on a free display
number, jwm as window manager (so centring, keep-above and the close box
behave as on a desktop), and the environment GTK programs need there to give
the same pixels on every machine."""

import ctypes
import os
import signal
import subprocess
import time

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024

# No tray, clock or menus: only frames, focus and stacking are wanted.
JWM_CONFIG = """<?xml version="1.0"?>
<JWM>
  <Desktops width="1" height="1"/>
  <FocusModel>click</FocusModel>
</JWM>
"""

# Font rendering settings cairo reads from the root window, pinned so the
# menu bar has the same height everywhere.
X_RESOURCES = "Xft.dpi:\t96\nXft.antialias:\t1\nXft.hinting:\t1\nXft.hintstyle:\thintslight\nXft.rgba:\tnone\n"


def _die_with_parent():
    """Runs in each child before exec: should this script be killed outright
    (a test runner's time-out), the X server and its clients go with it."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class Timeout(Exception):
    pass


def wait_for(what, predicate, timeout=20.0, interval=0.05):
    """Polls predicate until it answers something truthy and returns that.
    Deadlines are generous because the sanitizer build starts several times
    slower; a passing run never waits for them."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class XSession:
    def __init__(self, workdir):
        self.workdir = workdir
        self.display = None
        self.processes = []  # ours, stopped in reverse order
        self.xvfb = None
        self.wm = None

    def env(self, extra=None):
        env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "GTK_MODULES"):
            env.pop(name, None)
        env.update({
            "DISPLAY": self.display,
            "GDK_BACKEND": "x11",
            "NO_AT_BRIDGE": "1",
            "GSETTINGS_BACKEND": "memory",
            "GTK_THEME": "Adwaita",
            "GDK_SCALE": "1",
            "GDK_DPI_SCALE": "1",
            "LC_ALL": "C.UTF-8",
            "LANGUAGE": "",
            # The file chooser records recent files and GTK keeps caches:
            # in the work folder, not in the user's home.
            "XDG_DATA_HOME": os.path.join(self.workdir, "xdg", "data"),
            "XDG_CONFIG_HOME": os.path.join(self.workdir, "xdg", "config"),
            "XDG_CACHE_HOME": os.path.join(self.workdir, "xdg", "cache"),
        })
        if extra:
            env.update(extra)
        return env

    def run(self, args, check=True, input_bytes=None):
        """Runs an X client to completion and returns its standard output."""
        result = subprocess.run(args, env=self.env(), input=input_bytes, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(args)} failed ({result.returncode}): "
                               f"{result.stderr.decode(errors='replace').strip()}")
        return result.stdout

    def spawn(self, args, log_name, env_extra=None, cwd=None):
        """Starts a long-running client whose output goes to a log file in the
        work folder; it is stopped with the session if still running."""
        log = open(os.path.join(self.workdir, log_name), "wb")
        process = subprocess.Popen(args, env=self.env(env_extra), cwd=cwd, stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        log.close()
        self.processes.append(process)
        return process

    def start(self):
        os.makedirs(self.workdir, exist_ok=True)
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.workdir, "xvfb.log"), "wb")
        # -displayfd lets the server take the first free display number and
        # tells us which once it accepts connections.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24",
             "-nolisten", "tcp", "-noreset",
             # A key a step holds down never repeats, however slow the program.
             "-ardelay", "30000"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
            preexec_fn=_die_with_parent)
        log.close()
        os.close(write_end)
        try:
            number = self._read_display_number(read_end)
        finally:
            os.close(read_end)
        self.display = f":{number}"
        self.run(["xprop", "-root", "-format", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                  X_RESOURCES])
        config = os.path.join(self.workdir, "jwmrc")
        with open(config, "w") as f:
            f.write(JWM_CONFIG)
        self.wm = self.spawn(["jwm", "-f", config], "jwm.log")
        wait_for("the window manager", self._wm_running, timeout=20)

    def _read_display_number(self, fd):
        deadline = time.monotonic() + 20
        text = b""
        os.set_blocking(fd, False)
        while not text.endswith(b"\n"):
            if self.xvfb.poll() is not None:
                raise RuntimeError(f"Xvfb exited with status {self.xvfb.returncode}; "
                                   f"see {self.workdir}/xvfb.log")
            if time.monotonic() > deadline:
                raise Timeout("timed out waiting for Xvfb to start")
            try:
                chunk = os.read(fd, 16)
                if chunk:
                    text += chunk
                    continue
            except BlockingIOError:
                pass
            time.sleep(0.02)
        return int(text.strip())

    def _wm_running(self):
        if self.wm.poll() is not None:
            raise RuntimeError(f"jwm exited with status {self.wm.returncode}; see {self.workdir}/jwm.log")
        out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
        return b"window id" in out

    def stop(self):
        for process in reversed(self.processes):
            stop_process(process)
        self.processes.clear()
        if self.xvfb is not None:
            stop_process(self.xvfb)
            self.xvfb = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False


def stop_process(process, grace=3.0):
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
