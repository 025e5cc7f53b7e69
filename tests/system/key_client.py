#!/usr/bin/python3
"""An ordinary X application for the system tests (GTK, WM_CLASS from the first argument,
default "korukeys", with its process id): prints "ready", then one line per key event "press|release KEYVAL STATE" in hex, and
quits when the window manager asks it to close."""
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def report(kind, event):
    print("%s 0x%x 0x%x" % (kind, event.keyval, int(event.state)), flush=True)
    return True


def main():
    GLib.set_prgname(sys.argv[1] if len(sys.argv) > 1 else "korukeys")
    window = Gtk.Window(title="KORU keys")
    window.set_default_size(300, 200)
    window.connect("key-press-event", lambda w, e: report("press", e))
    window.connect("key-release-event", lambda w, e: report("release", e))
    window.connect("delete-event", lambda w, e: Gtk.main_quit() or False)
    window.connect("map-event", lambda w, e: print("ready", flush=True) or False)
    window.show_all()
    Gtk.main()
    print("closed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
