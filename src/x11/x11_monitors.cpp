// Asking the server for its monitors. RandR 1.5 names them directly (including monitors a
// user defined with xrandr --setmonitor); Xinerama is the older answer. Mirrored outputs
// give the same rectangle twice, and count once.
#include "x11/x11_monitors.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace wrigglet::x11 {

namespace {

void AddMonitor(MonitorList& monitors, PixelRect rect, bool primary) {
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    const auto same = std::find(monitors.Rects.begin(), monitors.Rects.end(), rect);
    const size_t index = static_cast<size_t>(same - monitors.Rects.begin());
    if (same == monitors.Rects.end()) monitors.Rects.push_back(rect);
    if (primary) monitors.Primary = index;
}

bool FromRandr(Display* display, Window root, MonitorList& monitors) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return false;
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; i < count; ++i)
        AddMonitor(monitors, {info[i].x, info[i].y, info[i].x + info[i].width, info[i].y + info[i].height},
                   info[i].primary != 0);
    if (info) XRRFreeMonitors(info);
    return !monitors.Rects.empty();
}

bool FromXinerama(Display* display, MonitorList& monitors) {
    int event = 0, error = 0;
    if (!XineramaQueryExtension(display, &event, &error) || !XineramaIsActive(display)) return false;
    int count = 0;
    XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
    for (int i = 0; i < count; ++i)
        AddMonitor(monitors,
                   {screens[i].x_org, screens[i].y_org, screens[i].x_org + screens[i].width,
                    screens[i].y_org + screens[i].height},
                   i == 0);
    if (screens) XFree(screens);
    return !monitors.Rects.empty();
}

}  // namespace

MonitorList QueryRootMonitors(Display* display, Window root) {
    MonitorList monitors;
    if (FromRandr(display, root, monitors)) return monitors;
    monitors = {};
    if (FromXinerama(display, monitors)) return monitors;
    return {};
}

}  // namespace wrigglet::x11
