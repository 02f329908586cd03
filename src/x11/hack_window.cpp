// Choosing, making and watching the window the hack draws into.
#include "x11/hack_window.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <string>

#include "x11/x11_errors.h"

namespace wrigglet::x11 {

namespace {

constexpr long WatchedEvents = ExposureMask | StructureNotifyMask;

std::optional<Window> NamedWindow(const HackOptions& options, const char* saverWindow) {
    if (options.WindowId) return static_cast<Window>(*options.WindowId);
    if (!saverWindow || !*saverWindow) return std::nullopt;
    char* end = nullptr;
    const unsigned long id = std::strtoul(saverWindow, &end, 0);  // XScreenSaver writes 0x hex
    if (end == saverWindow || *end != '\0') return std::nullopt;
    return static_cast<Window>(id);
}

Window MakeOwnWindow(Display* display, const HackOptions& options, Atom deleteWindow) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = WatchedEvents;
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(options.Width),
                      static_cast<unsigned>(options.Height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window, "wrigglet");
    XClassHint hint{const_cast<char*>("wrigglet"), const_cast<char*>("Wrigglet")};
    XSetClassHint(display, window, &hint);
    Atom protocols[] = {deleteWindow};
    XSetWMProtocols(display, window, protocols, 1);
    XMapWindow(display, window);
    XEvent event;
    do XWindowEvent(display, window, ExposureMask, &event);
    while (event.xexpose.count != 0);
    return window;
}

}  // namespace

std::optional<HackWindow> OpenHackWindow(Display* display, const HackOptions& options, const char* saverWindow) {
    HackWindow hack;
    Window window = None;
    if (const auto named = NamedWindow(options, saverWindow)) {
        window = *named;
    } else if (options.Root) {
        window = DefaultRootWindow(display);
    } else {
        hack.DeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        window = MakeOwnWindow(display, options, hack.DeleteWindow);
        hack.Own = true;
    }
    XWindowAttributes attributes{};
    ErrorTrap trap(display);
    if (!XGetWindowAttributes(display, window, &attributes) || trap.Failed()) return std::nullopt;
    if (!hack.Own) XSelectInput(display, window, WatchedEvents);
    hack.IsRoot = window == attributes.root;
    hack.Target = {display, window, attributes.visual, attributes.depth, attributes.width, attributes.height};
    return hack;
}

void CloseHackWindow(Display* display, const HackWindow& window) {
    if (window.Own) XDestroyWindow(display, window.Target.Id);
    XSync(display, False);
}

}  // namespace wrigglet::x11
