#!/usr/bin/python3
"""Stand-ins for the desktop's services on a private bus: the portal's Screenshot (the first
request gets a new copy of $XDG_CACHE_HOME/desktop.png, Screenshot.png, as GNOME's portal
writes a new file into the user's pictures; later ones no answer), GNOME's idle monitor (the idle
watch fires 50 ms after it is added and after input), the session manager (inhibited until
200 ms after its first question); org.wrigglet.Test's Touch() is input, Said() tells."""
import os
import shutil

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
BUS = dbus.SessionBus()
STATE = {"inhibited": True, "asked": False, "closed": False, "requests": 0, "active": 0}
method = dbus.service.method


def later(ms, action):
    GLib.timeout_add(ms, lambda: action() and False)


class Services(dbus.service.Object):
    @method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}", out_signature="o", sender_keyword="sender")
    def Screenshot(self, parent, options, sender):
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"), options["handle_token"])
        request = Request(BUS, path)
        STATE["requests"] += 1
        if STATE["requests"] == 1:
            folder = os.environ["XDG_CACHE_HOME"]
            shot = os.path.join(folder, "Screenshot.png")
            shutil.copyfile(os.path.join(folder, "desktop.png"), shot)
            later(10, lambda: request.Response(0, {"uri": dbus.String("file://" + shot, variant_level=1)}))
        return path

    @dbus.service.signal("org.gnome.Mutter.IdleMonitor", signature="u")
    def WatchFired(self, id):
        pass

    @method("org.gnome.Mutter.IdleMonitor", in_signature="t", out_signature="u")
    def AddIdleWatch(self, interval):
        later(50, lambda: self.WatchFired(1))
        return 1

    @method("org.gnome.Mutter.IdleMonitor", out_signature="u")
    def AddUserActiveWatch(self):
        STATE["active"] += 1
        return 100 + STATE["active"]

    @dbus.service.signal("org.gnome.SessionManager", signature="o")
    def InhibitorRemoved(self, inhibitor):
        STATE["inhibited"] = False

    @method("org.gnome.SessionManager", in_signature="u", out_signature="b")
    def IsInhibited(self, flags):
        if not STATE["asked"]:
            later(200, lambda: self.InhibitorRemoved("/org/gnome/SessionManager/Inhibitor1"))
        STATE["asked"] = True
        return STATE["inhibited"] and flags == 8

    @method("org.wrigglet.Test", out_signature="b")
    def Touch(self):
        MONITOR.WatchFired(100 + STATE["active"])
        later(50, lambda: MONITOR.WatchFired(1))
        return True

    @method("org.wrigglet.Test", in_signature="s", out_signature="b")
    def Said(self, what):
        return STATE[what]


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass

    @method("org.freedesktop.portal.Request")
    def Close(self):
        STATE["closed"] = True


# The same object at every path the program calls, each one's signals from its own path.
MONITOR = Services(BUS, "/org/gnome/Mutter/IdleMonitor/Core")
OTHERS = [Services(BUS, path) for path in ("/org/freedesktop/portal/desktop", "/org/gnome/SessionManager", "/")]
NAMES = [dbus.service.BusName(name, BUS) for name in ("org.freedesktop.portal.Desktop", "org.gnome.Mutter.IdleMonitor",
                                                      "org.gnome.SessionManager", "org.wrigglet.Test")]
print("ready", flush=True)
GLib.MainLoop().run()
