#!/usr/bin/python3
"""Start-up time and memory of the real viewer: from starting `tesselon FILE`
to the end of the first draw of its canvas, on a warm private X server with a
window manager, and the process's peak and current resident memory then.

    bench/startup.py [--tesselon BIN] [--screen FILE] [--runs N]

Each run is paired with a baseline in the same run: the same program started
without a display, which loads and gives up at once.

The viewer reports the moment of its first draw itself when
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
    raise RuntimeError("tesselon never reported its first draw (is TESSELON_REPORT_FIRST_DRAW supported?)")


def memory_kib(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            name, _, value = line.partition(":")
            if name in ("VmHWM", "VmRSS"):
                fields[name] = int(value.split()[0])
    return fields


def one_run(session, tesselon, screen, cwd):
    env = session.env({"TESSELON_REPORT_FIRST_DRAW": "1"})
    started = time.monotonic_ns()
    process = subprocess.Popen([tesselon, screen], env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        drawn = first_draw(process)
        memory = memory_kib(process.pid)
        # Closed as a user would, through the close box.
        window = wait_for("the Tesselon window", lambda: xwindows.find_one(session, "^Tesselon$"), DEADLINE)
        xwindows.close(session, window)
        # Whatever it still prints (a sanitizer's report) must not fill the pipe.
        while process.stderr.read(65536):
            pass
        process.wait(timeout=DEADLINE)
    finally:
        stop_process(process)
        process.stderr.close()
    return (drawn - started) / 1e6, memory


def baseline_run(tesselon, screen, cwd):
    """The same program without a display: loading it and its libraries and
    giving up at once. Taken in the same run, it shows what a noisy machine
    does to start-up times, and how much the window and the picture add."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    started = time.monotonic_ns()
    subprocess.run([tesselon, screen], env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True, timeout=DEADLINE)
    return (time.monotonic_ns() - started) / 1e6


def main():
    root = os.path.dirname(HERE)
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tesselon", default=os.path.join(root, "build", "src", "tesselon", "tesselon"))
    parser.add_argument("--screen", default=os.path.join(root, "samples", "raster_bars.ss4"))
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    tesselon, screen = os.path.abspath(args.tesselon), os.path.abspath(args.screen)

    with tempfile.TemporaryDirectory(prefix="tesselon-startup-") as work, XSession(work) as session:
        one_run(session, tesselon, screen, work)  # warms the server, fonts and file caches
        results, baselines = [], []
        for _ in range(args.runs):
            results.append(one_run(session, tesselon, screen, work))
            baselines.append(baseline_run(tesselon, screen, work))

    times = [t for t, _ in results]
    peak = [m["VmHWM"] / 1024 for _, m in results]
    rss = [m["VmRSS"] / 1024 for _, m in results]
    print(f"tesselon start-up to first draw, {args.runs} runs ({os.path.relpath(tesselon)} {os.path.basename(screen)})")
    print(f"  time:              median {statistics.median(times):7.1f} ms"
          f"   min {min(times):7.1f}   max {max(times):7.1f}")
    base = statistics.median(baselines)
    print(f"  baseline (no display, exits at once): median {base:7.1f} ms"
          f"   min {min(baselines):7.1f}   max {max(baselines):7.1f}")
    print(f"  first draw / baseline: {statistics.median(times) / base:.2f}")
    print(f"  peak memory VmHWM: median {statistics.median(peak):7.1f} MiB   min {min(peak):7.1f}   max {max(peak):7.1f}")
    print(f"  resident VmRSS:    median {statistics.median(rss):7.1f} MiB   min {min(rss):7.1f}   max {max(rss):7.1f}")


if __name__ == "__main__":
    main()
