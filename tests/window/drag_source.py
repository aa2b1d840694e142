#!/usr/bin/env python3
"""A real X11 drag source: drags files (as URIs) onto a screen point and drops.

Usage: drag_source.py X Y PATH...
Shows a small GTK window at the top-left corner offering text/uri-list, then
drives the pointer with xdotool: press on the source, move to (X, Y),
release. Exits 0 when the drag ended, 2 when it timed out.
"""
import subprocess
import sys
import threading
import time
from pathlib import Path

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gdk, Gtk  # noqa: E402

target_x, target_y = int(sys.argv[1]), int(sys.argv[2])
uris = [Path(path).as_uri() for path in sys.argv[3:]]
result = {"code": 2}


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=False, timeout=5)


def drive():
    time.sleep(0.5)
    xdotool("mousemove", 40, 30)
    time.sleep(0.2)
    xdotool("mousedown", 1)
    # Past GTK's drag threshold first, then across in steps so that every
    # window on the way sees the pointer.
    for i in range(1, 11):
        x = 40 + (target_x - 40) * i // 10
        y = 30 + (target_y - 30) * i // 10
        xdotool("mousemove", x, y)
        time.sleep(0.1)
    xdotool("mousemove", target_x + 1, target_y + 1)
    time.sleep(0.3)
    xdotool("mouseup", 1)


def on_drag_data_get(_widget, _context, data, _info, _time):
    data.set_uris(uris)


def on_drag_end(_widget, _context):
    result["code"] = 0
    GLib.timeout_add(300, Gtk.main_quit)


window = Gtk.Window(type=Gtk.WindowType.POPUP)
window.move(0, 0)
window.set_default_size(80, 60)
box = Gtk.EventBox()
box.add(Gtk.Label(label="drag"))
box.drag_source_set(
    Gdk.ModifierType.BUTTON1_MASK,
    [Gtk.TargetEntry.new("text/uri-list", 0, 0)],
    Gdk.DragAction.COPY,
)
box.connect("drag-data-get", on_drag_data_get)
box.connect("drag-end", on_drag_end)
window.add(box)
window.connect("map-event", lambda *_: threading.Thread(target=drive, daemon=True).start())
window.show_all()
GLib.timeout_add(15000, Gtk.main_quit)
Gtk.main()
sys.exit(result["code"])
