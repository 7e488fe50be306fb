"""Another program shows a screen: a stock GTK image viewer from Debian
(eog), which reads pictures through gdk-pixbuf, opens the colour chart
sample through the built loader on a private X server, and the screenshot
of its window holds every one of the machine's 128 colours, exactly.

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


def main():
    parser = argparse.ArgumentParser()
    for option in ("--loader", "--mime-package", "--sample", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)

    cache = os.path.join(args.work, "loaders.cache")
    loaders_cache(os.path.abspath(args.loader), cache)
    with XSession(args.work) as x:
        mime_database(args.mime_package, x.env()["XDG_DATA_HOME"])
        # eog wants a session bus; a private one ends with it.
        x.spawn(["dbus-run-session", "--", "eog", "--new-instance", os.path.abspath(args.sample)], "eog.log",
                env_extra={"GDK_PIXBUF_MODULE_FILE": cache})
        name = os.path.basename(args.sample)

        def shown():
            return x.run(["xdotool", "search", "--onlyvisible", "--name", name], check=False).split()

        window = wait_for(f"eog's window for {name}", shown, timeout=40)[0].decode()
        shot = os.path.join(args.work, "eog.png")

        def every_colour():
            # The window maps before the picture is drawn: look until it is.
            subprocess.run([IMPORT, "-window", window, shot], env=x.env(), check=True, stderr=subprocess.PIPE)
            picture = Picture.load(shot)
            seen = {picture.rgb[i:i + 3] for i in range(0, len(picture.rgb), 3)}
            missing = [i for i in range(128) if bytes(sam_colour(i)) not in seen]
            return not missing or None

        try:
            wait_for("the screen's 128 colours in eog's window", every_colour, timeout=30, interval=0.5)
        except Exception:
            with open(os.path.join(args.work, "eog.log"), errors="replace") as log:
                sys.stderr.write(log.read())
            raise
    print(f"eog showed {name} through the loader: all 128 colours on screen")


if __name__ == "__main__":
    main()
