"""Another program shows a screen: a stock GTK image viewer from Debian
(eog), which reads pictures through gdk-pixbuf, opens the colour chart
sample through the built loader on a private X server, and the screenshot
of its window holds every one of the machine's 128 colours, exactly. Then
it opens a screen whose palette flashes, and plays it: screenshots show the
screen's colour of each phase in turn.

The loader reaches the program as an installed one would: a loaders cache
made by gdk-pixbuf-query-loaders (the system's loaders and ours), and the
.ss4 file type from our MIME package in a private MIME database.

  loader_e2e.py --loader MODULE --mime-package XML --sample SS4 --work DIR"""

import argparse
import glob
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pictures import IMPORT, Picture  # noqa: E402
from xsession import XSession, wait_for  # noqa: E402

QUERY_LOADERS = "/usr/lib/x86_64-linux-gnu/gdk-pixbuf-2.0/gdk-pixbuf-query-loaders"


LEVELS = (0, 36, 73, 109, 146, 182, 219, 255)


def sam_colour(index):
    """Palette index bits from 0: blue low, red low, green low, brightness,
    blue high, red high, green high; each component's level is high * 4 +
    low * 2 + brightness."""
    bright = index >> 3 & 1

    def level(low_bit, high_bit):
        return LEVELS[(index >> high_bit & 1) * 4 + (index >> low_bit & 1) * 2 + bright]

    return level(1, 5), level(2, 6), level(0, 4)


def loaders_cache(module, path):
    system = sorted(glob.glob(os.path.join(os.path.dirname(QUERY_LOADERS), "2.10.0", "loaders", "*.so")))
    out = subprocess.run([QUERY_LOADERS, *system, module], check=True, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE).stdout
    if os.path.basename(module).encode() not in out:
        raise RuntimeError(f"gdk-pixbuf-query-loaders did not take {module}")
    with open(path, "wb") as f:
        f.write(out)


def mime_database(package, data_home):
    packages = os.path.join(data_home, "mime", "packages")
    os.makedirs(packages, exist_ok=True)
    shutil.copy(package, packages)
    subprocess.run(["update-mime-database", os.path.join(data_home, "mime")], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# The flashing screen's one colour in each phase: red, then blue.
FLASH_COLOURS = (0x22, 0x11)


def write_flashing_screen(path):
    """Mode 4, every pixel look-up entry 0; the palette table gives the entry
    one colour in the main phase (+0) and another in the alternate one
    (+20); no line records."""
    paltab = bytearray(40)
    paltab[0], paltab[20] = FLASH_COLOURS
    with open(path, "wb") as f:
        f.write(bytes(24576) + paltab + b"\xff")


def show_in_eog(x, cache, path, what, seen_enough):
    """eog opens `path` with the loaders in `cache`; seen_enough(colours) is
    asked of each screenshot of its window, with every colour seen so far,
    until it answers true."""
    name = os.path.basename(path)
    log = f"eog-{name}.log"
    # eog wants a session bus; a private one ends with it.
    x.spawn(["dbus-run-session", "--", "eog", "--new-instance", os.path.abspath(path)], log,
            env_extra={"GDK_PIXBUF_MODULE_FILE": cache})

    def shown():
        return x.run(["xdotool", "search", "--onlyvisible", "--name", name], check=False).split()

    window = wait_for(f"eog's window for {name}", shown, timeout=40)[0].decode()
    shot = os.path.join(x.workdir, "eog.png")
    seen = set()

    def enough():
        # The window maps before the picture is drawn: look until it is.
        subprocess.run([IMPORT, "-window", window, shot], env=x.env(), check=True, stderr=subprocess.PIPE)
        picture = Picture.load(shot)
        seen.update(picture.rgb[i:i + 3] for i in range(0, len(picture.rgb), 3))
        return seen_enough(seen) or None

    try:
        wait_for(what, enough, timeout=30, interval=0.1)
    except Exception:
        with open(os.path.join(x.workdir, log), errors="replace") as f:
            sys.stderr.write(f.read())
        raise


def main():
    parser = argparse.ArgumentParser()
    for option in ("--loader", "--mime-package", "--sample", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)

    cache = os.path.join(args.work, "loaders.cache")
    loaders_cache(os.path.abspath(args.loader), cache)
    flashing = os.path.join(args.work, "flashing.ss4")
    write_flashing_screen(flashing)
    with XSession(args.work) as x:
        mime_database(args.mime_package, x.env()["XDG_DATA_HOME"])
        name = os.path.basename(args.sample)
        show_in_eog(x, cache, args.sample, "the screen's 128 colours in eog's window",
                    lambda seen: all(bytes(sam_colour(i)) in seen for i in range(128)))
        print(f"eog showed {name} through the loader: all 128 colours on screen")
        show_in_eog(x, cache, flashing, "both phases of the flashing screen in eog's window",
                    lambda seen: all(bytes(sam_colour(c)) in seen for c in FLASH_COLOURS))
        print("eog played the flashing screen: both phases' colours on screen in turn")


if __name__ == "__main__":
    main()
