#!/usr/bin/python3
"""What the tests ask of a headless GNOME Shell over its session bus: gnome-bus.py COMMAND...
  input                holds a remote-desktop session of mutter's (a keyboard and a pointer),
                       says "ready", then takes one event a line and answers "done" once mutter
                       has it: "key CODE" presses and releases the evdev key CODE, "move DX DY"
                       moves the pointer by DX,DY pixels, "click BUTTON" presses and releases
                       the evdev button BUTTON; ends, with the session, at the end of its input
  screenshot FILE [X Y W H]
                       the Shell writes the screen (or that area) to FILE as a PNG; it takes the
                       call only from a few well-known names, so this one owns org.gnome.Screenshot
  overview on|off      opens or closes the Activities overview and waits until it is so
  idletime             prints the milliseconds since the last input (mutter's idle monitor)
  screenshot-permission yes|no|ask
                       what the desktop portal answers an application's screenshot that doesn't
                       ask the user: a picture, a refusal, or (ask: no entry) a dialog that asks
  session-manager      serves a stand-in org.gnome.SessionManager (the headless Shell runs none)
                       that keeps the inhibitors it is given, until SIGTERM
  inhibit FLAGS        asks it to inhibit FLAGS (8: idle) and prints the cookie
  uninhibit COOKIE     takes that inhibitor back"""
import signal
import sys
import time

from gi.repository import Gio, GLib

BUS = Gio.bus_get_sync(Gio.BusType.SESSION)
SHELL = ("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell")
SCREENSHOT = ("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot")
IDLE = ("org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor")
DESKTOP = ("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop", "org.gnome.Mutter.RemoteDesktop")
SESSION_MANAGER = ("org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager")


def call(service, method, signature=None, *args):
    parameters = GLib.Variant(signature, args) if signature else None
    return BUS.call_sync(*service, method, parameters, None, Gio.DBusCallFlags.NONE, 10000, None).unpack()


def own(name):
    reply = BUS.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                          GLib.Variant("(su)", (name, 4)), None, Gio.DBusCallFlags.NONE, 10000, None)
    if reply.unpack()[0] != 1:
        sys.exit(f"cannot own {name} on the session bus")


# Each event as calls of a remote-desktop session: (method, signature, arguments) for its words.
EVENTS = {
    "key": lambda code: [("NotifyKeyboardKeycode", "(ub)", (int(code), pressed)) for pressed in (True, False)],
    "move": lambda dx, dy: [("NotifyPointerMotionRelative", "(dd)", (float(dx), float(dy)))],
    "click": lambda button: [("NotifyPointerButton", "(ib)", (int(button), pressed)) for pressed in (True, False)],
}


def wait_for_name(name):
    """Some of the Shell's services come on the bus a little after its start-up has ended."""
    for _ in range(100):
        if call(("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus"), "NameHasOwner", "(s)", name)[0]:
            return
        time.sleep(0.1)
    sys.exit(f"{name} never came on the session bus")


def remote_input():
    wait_for_name(DESKTOP[0])
    path = call(DESKTOP, "CreateSession")[0]
    session = (DESKTOP[0], path, "org.gnome.Mutter.RemoteDesktop.Session")
    call(session, "Start")
    # Mutter adds the session's keyboard and pointer to the seat at their first events, and a
    # client binds a keyboard only then, after that first key went by: a Shift and a move of
    # nothing make both now.
    for method, signature, values in EVENTS["key"](42) + EVENTS["move"](0, 0):
        call(session, method, signature, *values)
    print("ready", flush=True)
    for line in sys.stdin:
        try:
            word, *arguments = line.split()
            for method, signature, values in EVENTS[word](*arguments):
                call(session, method, signature, *values)
            print("done", flush=True)
        except (KeyError, TypeError, ValueError, GLib.Error) as error:
            print(f"cannot send {line.strip()!r}: {error}", flush=True)
    call(session, "Stop")


def overview_active():
    return call((SHELL[0], SHELL[1], "org.freedesktop.DBus.Properties"), "Get", "(ss)", SHELL[2], "OverviewActive")[0]


def overview(state):
    wait_for_name(SHELL[0])
    wanted = state == "on"
    call((SHELL[0], SHELL[1], "org.freedesktop.DBus.Properties"), "Set", "(ssv)", SHELL[2], "OverviewActive",
         GLib.Variant("b", wanted))
    for _ in range(100):
        if overview_active() == wanted:
            return
        time.sleep(0.05)
    sys.exit(f"the overview did not turn {state}")


def screenshot(file, *area):
    wait_for_name(SCREENSHOT[0])
    own("org.gnome.Screenshot")
    if area:
        x, y, width, height = (int(v) for v in area)
        done = call(SCREENSHOT, "ScreenshotArea", "(iiiibs)", x, y, width, height, False, file)[0]
    else:
        done = call(SCREENSHOT, "Screenshot", "(bbs)", False, False, file)[0]
    if not done:
        sys.exit("the Shell took no screenshot")


def screenshot_permission(answer):
    store = ("org.freedesktop.impl.portal.PermissionStore", "/org/freedesktop/impl/portal/PermissionStore",
             "org.freedesktop.impl.portal.PermissionStore")
    if answer == "ask":
        try:
            call(store, "DeletePermission", "(sss)", "screenshot", "screenshot", "")
        except GLib.Error:
            pass  # there was none
    else:
        call(store, "SetPermission", "(sbssas)", "screenshot", True, "screenshot", "", [answer])


SESSION_MANAGER_XML = """<node><interface name="org.gnome.SessionManager">
  <method name="Inhibit"><arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="u" direction="in"/><arg type="u" direction="out"/></method>
  <method name="Uninhibit"><arg type="u" direction="in"/></method>
  <method name="IsInhibited"><arg type="u" direction="in"/><arg type="b" direction="out"/></method>
  <property name="InhibitedActions" type="u" access="read"/>
  <signal name="InhibitorAdded"><arg type="o"/></signal>
  <signal name="InhibitorRemoved"><arg type="o"/></signal>
</interface></node>"""


def serve_session_manager():
    inhibitors = {}  # cookie -> flags
    loop = GLib.MainLoop()

    def inhibited():
        flags = 0
        for value in inhibitors.values():
            flags |= value
        return flags

    def changed(signal_name, cookie):
        BUS.emit_signal(None, SESSION_MANAGER[1], SESSION_MANAGER[2], signal_name,
                        GLib.Variant("(o)", (f"/org/gnome/SessionManager/Inhibitor{cookie}",)))
        BUS.emit_signal(None, SESSION_MANAGER[1], "org.freedesktop.DBus.Properties", "PropertiesChanged",
                        GLib.Variant("(sa{sv}as)", (SESSION_MANAGER[2], {"InhibitedActions": GLib.Variant("u", inhibited())}, [])))

    def method(_connection, _sender, _path, _interface, name, parameters, invocation):
        if name == "Inhibit":
            cookie = len(inhibitors) + 1
            while cookie in inhibitors:
                cookie += 1
            inhibitors[cookie] = parameters.unpack()[3]
            invocation.return_value(GLib.Variant("(u)", (cookie,)))
            changed("InhibitorAdded", cookie)
        elif name == "Uninhibit":
            cookie = parameters.unpack()[0]
            inhibitors.pop(cookie, None)
            invocation.return_value(None)
            changed("InhibitorRemoved", cookie)
        else:
            invocation.return_value(GLib.Variant("(b)", (bool(inhibited() & parameters.unpack()[0]),)))

    def get_property(*_):
        return GLib.Variant("u", inhibited())

    interface = Gio.DBusNodeInfo.new_for_xml(SESSION_MANAGER_XML).interfaces[0]
    BUS.register_object(SESSION_MANAGER[1], interface, method, get_property, None)
    own(SESSION_MANAGER[0])
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    print("serving", flush=True)
    loop.run()


def main(command, *args):
    if command == "input":
        remote_input()
    elif command == "screenshot":
        screenshot(*args)
    elif command == "overview":
        overview(args[0])
    elif command == "screenshot-permission":
        screenshot_permission(args[0])
    elif command == "idletime":
        print(call(IDLE, "GetIdletime")[0])
    elif command == "session-manager":
        serve_session_manager()
    elif command == "inhibit":
        print(call(SESSION_MANAGER, "Inhibit", "(susu)", "wrigglet-tests", 0, "a test's inhibitor", int(args[0]))[0])
    elif command == "uninhibit":
        call(SESSION_MANAGER, "Uninhibit", "(u)", int(args[0]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(*sys.argv[1:])
