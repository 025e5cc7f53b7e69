#!/usr/bin/python3
"""A fake KWin on the session bus for the compositor tests: the virtual desktops
(org.kde.KWin /VirtualDesktopManager) and the scripting (/Scripting) of Plasma 5 or 6. A loaded
script runs, when asked to, in kwin_script_host.js against the windows of the state file, and
what it does is done: its callDBus calls are made, asynchronously as KWin makes them; a window
it closes goes away, one it activates becomes the active one. Every request is logged as one
line: "current <id>", "load <plugin>", "run <id>", "unload <plugin>", "close <id>",
"activate <id>".
    fake_kwin.py LOG STATE_JSON_FILE HOST_JS [PLASMA [silent]]
PLASMA and "silent" replace the state file's "plasma" and "silent". The state: {"plasma": 5|6, "desktops": [[position, id, name], ...], "current": id,
"active": window id or null, "windows" and "layout" (see kwin_script_host.js), "silent": bool (loaded
scripts never run)}."""
import json
import subprocess
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PROPS = "org.freedesktop.DBus.Properties"
DESKTOPS = "org.kde.KWin.VirtualDesktopManager"
SCRIPTING = "org.kde.kwin.Scripting"
SCRIPT = "org.kde.kwin.Script"


class Log:
    def __init__(self, path):
        self.file = open(path, "a")

    def __call__(self, line):
        self.file.write(line + "\n")
        self.file.flush()


class Desktops(dbus.service.Object):
    def __init__(self, bus, state, log):
        super().__init__(bus, "/VirtualDesktopManager")
        self.state = state
        self.log = log

    def value(self, name):
        if name == "count":
            return dbus.UInt32(len(self.state["desktops"]))
        if name == "current":
            return dbus.String(self.state["current"])
        if name == "desktops":
            return dbus.Array([dbus.Struct((dbus.UInt32(p), i, n)) for p, i, n in
                               self.state["desktops"]], signature="(uss)")
        raise dbus.exceptions.DBusException("no property " + name,
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(PROPS, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.value(name)

    @dbus.service.method(PROPS, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {n: self.value(n) for n in ("count", "current", "desktops")}

    @dbus.service.method(PROPS, in_signature="ssv")
    def Set(self, interface, name, value):
        if name != "current" or str(value) not in [d[1] for d in self.state["desktops"]]:
            raise dbus.exceptions.DBusException("cannot set " + name,
                                                name="org.freedesktop.DBus.Error.InvalidArgs")
        self.state["current"] = str(value)
        self.log("current " + str(value))


class Script(dbus.service.Object):
    def __init__(self, bus, path, file, kwin):
        super().__init__(bus, path)
        self.file = file
        self.kwin = kwin

    @dbus.service.method(SCRIPT)
    def run(self):
        self.kwin.log("run " + self.file)
        if not self.kwin.state.get("silent"):
            GLib.idle_add(self.kwin.execute, self.file)

    @dbus.service.method(SCRIPT)
    def stop(self):
        pass


class Scripting(dbus.service.Object):
    def __init__(self, bus, state, log, host):
        super().__init__(bus, "/Scripting")
        self.bus = bus
        self.state = state
        self.log = log
        self.host = host
        self.scripts = {}
        self.next_id = 1

    @dbus.service.method(SCRIPTING, in_signature="ss", out_signature="i")
    def loadScript(self, file, plugin):
        if plugin in self.scripts:
            return -1
        script_id = self.next_id
        self.next_id += 1
        path = "/%d" % script_id if self.state["plasma"] == 5 else "/Scripting/Script%d" % script_id
        self.scripts[plugin] = Script(self.bus, path, str(file), self)
        self.log("load " + plugin)
        return script_id

    @dbus.service.method(SCRIPTING, in_signature="s", out_signature="b")
    def unloadScript(self, plugin):
        script = self.scripts.pop(str(plugin), None)
        if script is None:
            return False
        script.remove_from_connection()
        self.log("unload " + plugin)
        return True

    def execute(self, file):
        state = {k: self.state[k] for k in ("plasma", "active", "windows", "layout")}
        output = subprocess.run(["node", self.host, file, json.dumps(state)],
                                capture_output=True, text=True)
        if output.returncode != 0:
            self.log("script failed: " + output.stderr.replace("\n", " | "))
            return False
        for what in json.loads(output.stdout):
            if "callDBus" in what:
                service, path, interface, method, *args = what["callDBus"]
                self.bus.call_async(service, path, interface, method, "s" * len(args), args,
                                    None, lambda error: self.log("callDBus failed: %s" % error))
            elif "close" in what:
                self.log("close " + what["close"])
                self.state["windows"] = [w for w in self.state["windows"]
                                         if w["id"] != what["close"]]
            elif "activate" in what:
                self.log("activate " + what["activate"])
                self.state["active"] = what["activate"]
        return False


def main():
    if not 4 <= len(sys.argv) <= 6:
        sys.exit("usage: fake_kwin.py LOG STATE_JSON_FILE HOST_JS [PLASMA [silent]]")
    DBusGMainLoop(set_as_default=True)
    log = Log(sys.argv[1])
    with open(sys.argv[2]) as file:
        state = json.load(file)
    if len(sys.argv) > 4:
        state["plasma"] = int(sys.argv[4])
        state["silent"] = sys.argv[5:] == ["silent"]
    bus = dbus.SessionBus()
    objects = [Desktops(bus, state, log), Scripting(bus, state, log, sys.argv[3])]
    name = dbus.service.BusName("org.kde.KWin", bus)
    log("ready")
    GLib.MainLoop().run()
    del objects, name


if __name__ == "__main__":
    main()
