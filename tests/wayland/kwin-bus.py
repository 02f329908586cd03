#!/usr/bin/python3
"""What the tests ask of a headless KWin over its session bus: kwin-bus.py COMMAND...
  ready                waits until KWin's screenshot service is on the bus (KWin is up)
  screenshot FILE [OUTPUT]
                       writes the whole workspace (or the output named OUTPUT, in its physical
                       pixels) to FILE as a binary PPM, through org.kde.KWin.ScreenShot2 (KWin
                       takes the call from anyone with KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1)"""
import os
import sys
import threading
import time

from gi.repository import Gio, GLib

BUS = Gio.bus_get_sync(Gio.BusType.SESSION)
SCREENSHOT = ("org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2")


def ready():
    for _ in range(300):
        has_owner = BUS.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                                  GLib.Variant("(s)", (SCREENSHOT[0],)), None, Gio.DBusCallFlags.NONE, 10000, None)
        if has_owner.unpack()[0]:
            return
        time.sleep(0.1)
    sys.exit("KWin's screenshot service never came")


def capture(output):
    """KWin writes the raw picture into a pipe and answers with its geometry."""
    reading, writing = os.pipe()
    descriptors = Gio.UnixFDList.new()
    descriptors.append(writing)
    os.close(writing)
    data = bytearray()

    def read_all():
        while chunk := os.read(reading, 1 << 20):
            data.extend(chunk)

    reader = threading.Thread(target=read_all)
    reader.start()
    options = {"native-resolution": GLib.Variant("b", True)}
    if output:
        method, parameters = "CaptureScreen", GLib.Variant("(sa{sv}h)", (output, options, 0))
    else:
        method, parameters = "CaptureWorkspace", GLib.Variant("(a{sv}h)", (options, 0))
    try:
        reply, _ = BUS.call_with_unix_fd_list_sync(*SCREENSHOT, method, parameters, None, Gio.DBusCallFlags.NONE,
                                                   10000, descriptors, None)
    finally:
        descriptors = None  # closes KWin's end here, so the reader sees the end of the picture
    reader.join()
    os.close(reading)
    return reply.unpack()[0], data


def screenshot(file, output=None):
    result, data = capture(output)
    if result.get("type") != "raw" or result.get("format") not in (4, 5, 6):  # QImage's 32-bit formats
        sys.exit(f"KWin answered a picture this cannot read: {result}")
    width, height, stride = result["width"], result["height"], result["stride"]
    with open(file, "wb") as picture:
        picture.write(b"P6\n%d %d\n255\n" % (width, height))
        for y in range(height):
            bgra = data[y * stride:y * stride + width * 4]
            rgb = bytearray(width * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = bgra[2::4], bgra[1::4], bgra[0::4]
            picture.write(rgb)


if __name__ == "__main__":
    if len(sys.argv) >= 2 and sys.argv[1] == "ready":
        ready()
    elif len(sys.argv) in (3, 4) and sys.argv[1] == "screenshot":
        screenshot(*sys.argv[2:])
    else:
        sys.exit(__doc__)
