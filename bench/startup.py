#!/usr/bin/python3
"""Start-up time and memory of the real viewer: from starting `tesselon FILE`
to the end of the first draw of its canvas, on a warm private X server with a
window manager, and the process's peak and current resident memory then.

    bench/startup.py [--tesselon BIN] [--bare-window BIN] [--screen FILE] [--runs N]

Each run is paired with a baseline in the same run: bench/bare_window.cpp, a
bare GTK 3 window of the viewer's shape (a menu bar over a 512 x 384 drawing
area) that does nothing else, started the same way with the same arguments
and closed the same way. The ratio of the medians is what the viewer's own
work costs over GTK's; both programs come from the Release build in
build-bench/ by default.

Both report the moment of their first draw themselves when
TESSELON_REPORT_FIRST_DRAW=1 ("first-draw <ns>" on standard error, in
CLOCK_MONOTONIC nanoseconds, the clock of time.monotonic_ns())."""

import argparse
import os
import select
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

import xwindows  # noqa: E402
from xsession import XSession, stop_process, wait_for  # noqa: E402

DEADLINE = 30.0


def first_draw(process):
    """Reads standard error until the first-draw line; its time in ns."""
    deadline = time.monotonic() + DEADLINE
    pending = b""
    while time.monotonic() < deadline:
        ready, _, _ = select.select([process.stderr], [], [], 0.5)
        if not ready:
            continue
        chunk = os.read(process.stderr.fileno(), 4096)
        if not chunk:
            break
        pending += chunk
        for line in pending.split(b"\n")[:-1]:
            if line.startswith(b"first-draw "):
                return int(line.split()[1])
        pending = pending.rsplit(b"\n", 1)[-1]
    raise RuntimeError(f"{process.args[0]} never reported its first draw "
                       "(is TESSELON_REPORT_FIRST_DRAW supported?)")


def memory_kib(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            name, _, value = line.partition(":")
            if name in ("VmHWM", "VmRSS"):
                fields[name] = int(value.split()[0])
    return fields


def one_run(session, program, title, screen, cwd):
    """Starts the program on the screen file, waits for its first draw,
    reads its memory and closes it through the close box. Returns the time
    to the first draw in ms and the memory figures."""
    env = session.env({"TESSELON_REPORT_FIRST_DRAW": "1"})
    started = time.monotonic_ns()
    process = subprocess.Popen([program, screen], env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        drawn = first_draw(process)
        memory = memory_kib(process.pid)
        window = wait_for(f"the {title} window", lambda: xwindows.find_one(session, f"^{title}$"), DEADLINE)
        xwindows.close(session, window)
        # Whatever it still prints (a sanitizer's report) must not fill the pipe.
        while process.stderr.read(65536):
            pass
        process.wait(timeout=DEADLINE)
    finally:
        stop_process(process)
        process.stderr.close()
    return (drawn - started) / 1e6, memory


def summary(name, values, unit):
    return (f"  {name:<22} median {statistics.median(values):7.1f} {unit}"
            f"   min {min(values):7.1f}   max {max(values):7.1f}")


def main():
    root = os.path.dirname(HERE)
    bench_build = os.path.join(root, "build-bench")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tesselon", default=os.path.join(bench_build, "src", "tesselon", "tesselon"))
    parser.add_argument("--bare-window", default=os.path.join(bench_build, "bench", "bare_window"))
    parser.add_argument("--screen", default=os.path.join(root, "samples", "raster_bars.ss4"))
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    tesselon, bare, screen = (os.path.abspath(p) for p in (args.tesselon, args.bare_window, args.screen))
    programs = ((tesselon, "Tesselon"), (bare, "Bare window"))

    with tempfile.TemporaryDirectory(prefix="tesselon-startup-") as work, XSession(work) as session:
        for program, title in programs:  # warms the server, fonts and file caches
            one_run(session, program, title, screen, work)
        viewer, baseline = [], []
        for _ in range(args.runs):
            viewer.append(one_run(session, tesselon, "Tesselon", screen, work))
            baseline.append(one_run(session, bare, "Bare window", screen, work))

    times, base = [t for t, _ in viewer], [t for t, _ in baseline]
    print(f"Start-up to first draw, {args.runs} runs each, alternating "
          f"({os.path.relpath(tesselon)} {os.path.basename(screen)})")
    print(summary("tesselon:", times, "ms"))
    print(summary("bare GTK window:", base, "ms"))
    print(f"  tesselon / bare window (medians): {statistics.median(times) / statistics.median(base):.2f}")
    print(summary("tesselon peak VmHWM:", [m["VmHWM"] / 1024 for _, m in viewer], "MiB"))
    print(summary("tesselon VmRSS:", [m["VmRSS"] / 1024 for _, m in viewer], "MiB"))
    print(summary("bare peak VmHWM:", [m["VmHWM"] / 1024 for _, m in baseline], "MiB"))


if __name__ == "__main__":
    main()
