#!/usr/bin/python3
"""A fake accessibility bus for the compositor tests, on the session bus itself: org.a11y.Bus
answers GetAddress with the session bus's own address, org.a11y.atspi.Registry logs each
RegisterEvent as "register <event>". Lines on standard input make it send window events the
way toolkits do, from connection 0 (its main one) or 1 (a second one, as another application):
    activate CONNECTION PATH TITLE
    deactivate CONNECTION PATH
Each connection's unique name is logged at start as "connection N NAME".
    fake_a11y_bus.py LOG"""
import os
import sys

import dbus
import dbus.lowlevel
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WINDOW_EVENTS = "org.a11y.atspi.Event.Window"


class Log:
    def __init__(self, path):
        self.file = open(path, "a")

    def __call__(self, line):
        self.file.write(line + "\n")
        self.file.flush()


class Launcher(dbus.service.Object):
    @dbus.service.method("org.a11y.Bus", out_signature="s")
    def GetAddress(self):
        return os.environ["DBUS_SESSION_BUS_ADDRESS"]


class Registry(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/a11y/atspi/registry")
        self.log = log

    @dbus.service.method("org.a11y.atspi.Registry", in_signature="s")
    def RegisterEvent(self, event):
        self.log("register " + event)


def send(connection, member, path, title=""):
    message = dbus.lowlevel.SignalMessage(path, WINDOW_EVENTS, member)
    message.append("", dbus.Int32(0), dbus.Int32(0), dbus.String(title),
                   dbus.Dictionary({}, signature="sv"), signature="siiva{sv}")
    connection.send_message(message)
    connection.flush()


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: fake_a11y_bus.py LOG")
    DBusGMainLoop(set_as_default=True)
    log = Log(sys.argv[1])
    bus = dbus.SessionBus()
    other = dbus.bus.BusConnection(os.environ["DBUS_SESSION_BUS_ADDRESS"])
    connections = [bus, other]
    objects = [Launcher(bus, "/org/a11y/bus"), Registry(bus, log)]
    names = [dbus.service.BusName("org.a11y.Bus", bus),
             dbus.service.BusName("org.a11y.atspi.Registry", bus)]
    loop = GLib.MainLoop()

    def command(source, condition):
        line = sys.stdin.readline()
        if not line:
            loop.quit()
            return False
        words = line.split(" ", 3)
        if words[0] == "activate":
            send(connections[int(words[1])], "Activate", words[2], words[3].rstrip("\n"))
        elif words[0] == "deactivate":
            send(connections[int(words[1])], "Deactivate", words[2].rstrip("\n"))
        log("sent " + line.rstrip("\n"))
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, command)
    for index, connection in enumerate(connections):
        log("connection %d %s" % (index, connection.get_unique_name()))
    log("ready")
    loop.run()
    del objects, names


if __name__ == "__main__":
    main()
