#!/usr/bin/python3
"""A desktop portal with remote desktop only, for the tests. Answers CreateSession,
SelectDevices and Start through the Response signal of a request object, takes the Notify
calls of a started session, and writes every call as one line to the log file.

  fake_portal.py LOG [--version N] [--answer METHOD=RESPONSE]... [--close-after N]
                     [--no-remote-desktop]

--answer makes METHOD answer RESPONSE (1: the user declined, 2: refused) instead of 0.
--close-after ends the session (its Closed signal) after N Notify calls."""
import argparse

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
REMOTE = "org.freedesktop.portal.RemoteDesktop"
REQUEST = "org.freedesktop.portal.Request"
SESSION = "org.freedesktop.portal.Session"
PROPS = "org.freedesktop.DBus.Properties"


def caller_part(sender):
    return sender[1:].replace(".", "_")


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method(REQUEST)
    def Close(self):
        self.remove_from_connection()


class Session(dbus.service.Object):
    def __init__(self, portal, path):
        super().__init__(portal.bus, path)
        self.portal = portal
        self.path = path
        self.started = False
        self.persist = False

    @dbus.service.signal(SESSION, signature="a{sv}")
    def Closed(self, details):
        pass

    @dbus.service.method(SESSION)
    def Close(self):
        self.portal.record("Close")
        self.end()

    def end(self):
        self.portal.sessions.pop(self.path, None)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus, args):
        super().__init__(bus, PATH)
        self.bus = bus
        self.args = args
        self.answers = dict(a.split("=", 1) for a in args.answer)
        self.log = open(args.log, "a")
        self.sessions = {}
        self.notified = 0
        self.tokens = 0

    def record(self, line):
        self.log.write(line + "\n")
        self.log.flush()

    def ask(self, method, sender, options, results):
        path = "%s/request/%s/%s" % (PATH, caller_part(sender), options["handle_token"])
        request = Request(self.bus, path)
        response = int(self.answers.get(method, 0))

        def respond():
            request.Response(dbus.UInt32(response),
                             dbus.Dictionary(results if response == 0 else {}, signature="sv"))
            request.remove_from_connection()
            return False

        GLib.idle_add(respond)
        return dbus.ObjectPath(path)

    def session(self, handle):
        session = self.sessions.get(str(handle))
        if session is None or not session.started:
            raise dbus.exceptions.DBusException("no such session",
                                                name="org.freedesktop.DBus.Error.AccessDenied")
        return session

    def notified_once(self, session, line):
        self.record(line)
        self.notified += 1
        if self.args.close_after and self.notified == self.args.close_after:
            self.record("Closed")
            session.Closed(dbus.Dictionary({}, signature="sv"))
            session.end()

    @dbus.service.method(PROPS, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == REMOTE and not self.args.no_remote_desktop:
            if name == "version":
                return dbus.UInt32(self.args.version)
            if name == "AvailableDeviceTypes":
                return dbus.UInt32(7)
        raise dbus.exceptions.DBusException("no property %s.%s" % (interface, name),
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(REMOTE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.record("CreateSession")
        path = "%s/session/%s/%s" % (PATH, caller_part(sender), options["session_handle_token"])
        self.sessions[path] = Session(self, path)
        return self.ask("CreateSession", sender, options, {"session_handle": path})

    @dbus.service.method(REMOTE, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def SelectDevices(self, handle, options, sender=None):
        line = "SelectDevices"
        for key in ("types", "persist_mode", "restore_token"):
            if key in options:
                line += " %s=%s" % (key, options[key])
        self.record(line)
        self.sessions[str(handle)].persist = "persist_mode" in options
        return self.ask("SelectDevices", sender, options, {})

    @dbus.service.method(REMOTE, in_signature="osa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Start(self, handle, parent, options, sender=None):
        self.record("Start")
        session = self.sessions[str(handle)]
        results = {"devices": dbus.UInt32(3)}
        if self.answers.get("Start", "0") == "0":
            session.started = True
            if session.persist:
                self.tokens += 1
                results["restore_token"] = "token-%d" % self.tokens
        return self.ask("Start", sender, options, results)

    @dbus.service.method(REMOTE, in_signature="oa{sv}iu")
    def NotifyKeyboardKeycode(self, handle, options, keycode, state):
        self.notified_once(self.session(handle), "key %d %d" % (keycode, state))

    @dbus.service.method(REMOTE, in_signature="oa{sv}iu")
    def NotifyPointerButton(self, handle, options, button, state):
        self.notified_once(self.session(handle), "button %d %d" % (button, state))

    @dbus.service.method(REMOTE, in_signature="oa{sv}dd")
    def NotifyPointerMotion(self, handle, options, dx, dy):
        self.notified_once(self.session(handle), "motion %g %g" % (dx, dy))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("log")
    parser.add_argument("--version", type=int, default=2)
    parser.add_argument("--answer", action="append", default=[])
    parser.add_argument("--close-after", type=int, default=0)
    parser.add_argument("--no-remote-desktop", action="store_true")
    args = parser.parse_args()
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, args)
    name = dbus.service.BusName(NAME, bus)
    GLib.MainLoop().run()
    del name, portal


if __name__ == "__main__":
    main()
