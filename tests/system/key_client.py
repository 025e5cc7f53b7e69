#!/usr/bin/python3
"""An ordinary X application for the system tests (GTK, WM_CLASS from the second argument,
default "korukeys", with its process id): writes "ready" to the log file (the first argument),
then one line per key event "press|release KEYVAL STATE" in hex, and "closed" when it quits as
the window manager asks it to close.

  key_client.py LOG [WM_CLASS]"""
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


LOG = open(sys.argv[1], "w", buffering=1)


def report(kind, event):
    print("%s 0x%x 0x%x" % (kind, event.keyval, int(event.state)), file=LOG, flush=True)
    return True


def main():
    GLib.set_prgname(sys.argv[2] if len(sys.argv) > 2 else "korukeys")
    window = Gtk.Window(title="KORU keys")
    window.set_default_size(300, 200)
    window.connect("key-press-event", lambda w, e: report("press", e))
    window.connect("key-release-event", lambda w, e: report("release", e))
    window.connect("delete-event", lambda w, e: Gtk.main_quit() or False)
    window.connect("map-event", lambda w, e: print("ready", file=LOG, flush=True) or False)
    window.show_all()
    Gtk.main()
    print("closed", file=LOG, flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
