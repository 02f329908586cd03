#!/usr/bin/python3
"""Stand-ins for the desktop's services on a private session bus, each as small as
wrigglet-wayland's use of it: GNOME Shell's OverviewActive, the desktop portal's Screenshot
(it answers the first request with a 4x3 PNG in $XDG_CACHE_HOME and never the next), GNOME's
idle monitor (an idle watch fires 50 ms after it is added or after input) and session manager
(inhibited until its first question, and its inhibitor goes 200 ms later); and org.wrigglet.Test
for the probe: Touch() is input, Inhibited() and Closed() say what happened."""
import os
import struct
import zlib

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
BUS = dbus.SessionBus()
STATE = {"inhibited": True, "closed": False, "requests": 0, "idle": 0, "active": 0}


def write_png(path, width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"\xc8\x28\x14" * width for _ in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def later(ms, action):
    GLib.timeout_add(ms, lambda: action() and False)


class Shell(dbus.service.Object):
    active = True

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return dbus.Boolean(self.active)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ssv")
    def Set(self, interface, name, value):
        later(100, lambda: setattr(Shell, "active", bool(value)))  # the overview's animation


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method("org.freedesktop.portal.Request")
    def Close(self):
        STATE["closed"] = True


class Portal(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Screenshot(self, parent, options, sender):
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"), options["handle_token"])
        request = Request(BUS, path)
        STATE["requests"] += 1
        if STATE["requests"] == 1:
            shot = os.path.join(os.environ["XDG_CACHE_HOME"], "portal-shot.png")
            write_png(shot, 4, 3)
            later(10, lambda: request.Response(0, {"uri": dbus.String("file://" + shot, variant_level=1)}))
        return path


class Monitor(dbus.service.Object):
    @dbus.service.signal("org.gnome.Mutter.IdleMonitor", signature="u")
    def WatchFired(self, id):
        pass

    @dbus.service.method("org.gnome.Mutter.IdleMonitor", in_signature="t", out_signature="u")
    def AddIdleWatch(self, interval):
        STATE["idle"] = 1
        later(50, lambda: self.WatchFired(1))
        return 1

    @dbus.service.method("org.gnome.Mutter.IdleMonitor", out_signature="u")
    def AddUserActiveWatch(self):
        STATE["active"] += 1
        return 100 + STATE["active"]

    @dbus.service.method("org.gnome.Mutter.IdleMonitor", in_signature="u")
    def RemoveWatch(self, id):
        pass


class SessionManager(dbus.service.Object):
    asked = False

    @dbus.service.signal("org.gnome.SessionManager", signature="o")
    def InhibitorRemoved(self, inhibitor):
        pass

    @dbus.service.method("org.gnome.SessionManager", in_signature="u", out_signature="b")
    def IsInhibited(self, flags):
        if not self.asked:
            self.asked = True
            later(200, self.remove_inhibitor)
        return STATE["inhibited"] and flags == 8

    def remove_inhibitor(self):
        STATE["inhibited"] = False
        self.InhibitorRemoved("/org/gnome/SessionManager/Inhibitor1")


class Test(dbus.service.Object):
    @dbus.service.method("org.wrigglet.Test", out_signature="b")
    def Touch(self):
        MONITOR.WatchFired(100 + STATE["active"])
        later(50, lambda: MONITOR.WatchFired(1))
        return True

    @dbus.service.method("org.wrigglet.Test", out_signature="b")
    def Inhibited(self):
        return STATE["inhibited"]

    @dbus.service.method("org.wrigglet.Test", out_signature="b")
    def Closed(self):
        return STATE["closed"]


Shell(BUS, "/org/gnome/Shell")
Portal(BUS, "/org/freedesktop/portal/desktop")
MONITOR = Monitor(BUS, "/org/gnome/Mutter/IdleMonitor/Core")
SessionManager(BUS, "/org/gnome/SessionManager")
Test(BUS, "/")
NAMES = [dbus.service.BusName(name, BUS) for name in ("org.gnome.Shell", "org.freedesktop.portal.Desktop",
         "org.gnome.Mutter.IdleMonitor", "org.gnome.SessionManager", "org.wrigglet.Test")]
print("ready", flush=True)
GLib.MainLoop().run()
