"""A small window that offers one file for dragging, as a file manager does:
as a text/uri-list with a percent-encoded file URI.

    drag_source.py FILE [X Y]

Prints "ready" once the window shows, "sent URI" when a drop target takes
the data, and "drag-end" or "drag-failed REASON" when the drag is over."""

import pathlib
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

TITLE = "Drag source"


def say(text):
    print(text, flush=True)


def main():
    uri = pathlib.Path(sys.argv[1]).resolve().as_uri()
    window = Gtk.Window(title=TITLE)
    window.set_default_size(160, 100)
    window.set_resizable(False)
    if len(sys.argv) >= 4:
        window.move(int(sys.argv[2]), int(sys.argv[3]))
    window.connect("destroy", Gtk.main_quit)

    # The whole window is the handle: a press anywhere in it starts the drag.
    handle = Gtk.EventBox()
    handle.add(Gtk.Label(label=pathlib.Path(sys.argv[1]).name))
    window.add(handle)
    handle.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    targets = Gtk.TargetList.new([])
    targets.add_uri_targets(0)
    handle.drag_source_set_target_list(targets)

    def data_get(widget, context, selection, info, time):
        selection.set_uris([uri])
        say(f"sent {uri}")

    handle.connect("drag-data-get", data_get)
    handle.connect("drag-end", lambda *args: say("drag-end"))
    handle.connect("drag-failed", lambda w, c, result: say(f"drag-failed {result.value_nick}") or False)

    def shown(*args):
        say("ready")
        return False

    window.connect("map-event", shown)
    window.show_all()
    Gtk.main()


if __name__ == "__main__":
    main()
