#!/usr/bin/python3
"""A small MPRIS player for the system tests: owns the given bus names
(org.mpris.MediaPlayer2.<name>), answers Volume and Fullscreen, and writes every call it
receives as one line "<bus name> <Method> [value]" to the log file."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

ROOT = "org.mpris.MediaPlayer2"
PLAYER = "org.mpris.MediaPlayer2.Player"
PROPS = "org.freedesktop.DBus.Properties"


class Player(dbus.service.Object):
    def __init__(self, bus, log, loop):
        super().__init__(bus, "/org/mpris/MediaPlayer2")
        self.log = log
        self.loop = loop
        self.volume = {}
        self.fullscreen = False

    def record(self, dest, what, value=None):
        line = dest + " " + what + ("" if value is None else " %g" % value)
        self.log.write(line + "\n")
        self.log.flush()

    @dbus.service.method(ROOT, destination_keyword="dest")
    def Raise(self, dest=None):
        self.record(dest, "Raise")

    @dbus.service.method(ROOT, destination_keyword="dest")
    def Quit(self, dest=None):
        self.record(dest, "Quit")
        GLib.idle_add(self.loop.quit)

    @dbus.service.method(PLAYER, destination_keyword="dest")
    def Next(self, dest=None):
        self.record(dest, "Next")

    @dbus.service.method(PLAYER, destination_keyword="dest")
    def Previous(self, dest=None):
        self.record(dest, "Previous")

    @dbus.service.method(PLAYER, destination_keyword="dest")
    def Play(self, dest=None):
        self.record(dest, "Play")

    @dbus.service.method(PLAYER, destination_keyword="dest")
    def Pause(self, dest=None):
        self.record(dest, "Pause")

    @dbus.service.method(PLAYER, destination_keyword="dest")
    def PlayPause(self, dest=None):
        self.record(dest, "PlayPause")

    @dbus.service.method(PROPS, in_signature="ss", out_signature="v", destination_keyword="dest")
    def Get(self, interface, name, dest=None):
        if name == "Volume":
            return dbus.Double(self.volume.get(dest, 0.5))
        if name == "Fullscreen":
            return dbus.Boolean(self.fullscreen)
        raise dbus.exceptions.DBusException("no property " + name,
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(PROPS, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {}

    @dbus.service.method(PROPS, in_signature="ssv", destination_keyword="dest")
    def Set(self, interface, name, value, dest=None):
        if name == "Volume":
            self.volume[dest] = float(value)
            self.record(dest, "Volume", float(value))
        elif name == "Fullscreen":
            self.fullscreen = bool(value)
            self.record(dest, "Fullscreen", 1.0 if self.fullscreen else 0.0)


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: mpris_test_player.py LOG NAME...")
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    loop = GLib.MainLoop()
    log = open(sys.argv[1], "a")
    player = Player(bus, log, loop)
    names = [dbus.service.BusName("org.mpris.MediaPlayer2." + n, bus) for n in sys.argv[2:]]
    player.record("-", "ready")
    loop.run()
    del names


if __name__ == "__main__":
    main()
