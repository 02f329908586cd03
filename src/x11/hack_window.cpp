// Choosing, making and watching the window the hack draws into.
#include "x11/hack_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "x11/x11_errors.h"

namespace wrigglet::x11 {

namespace {

constexpr long WatchedEvents = ExposureMask | StructureNotifyMask;

struct NamedTarget {
    Window Id = None;
    std::string Name;  // how the user named it, for the error lines
};

std::optional<NamedTarget> NamedWindow(const X11Options& options, const char* saverWindow) {
    std::ostringstream name;
    if (options.WindowId) {
        name << "-window-id 0x" << std::hex << *options.WindowId;
        return NamedTarget{static_cast<Window>(*options.WindowId), name.str()};
    }
    if (!saverWindow || !*saverWindow) return std::nullopt;
    char* end = nullptr;
    const unsigned long id = std::strtoul(saverWindow, &end, 0);  // XScreenSaver writes 0x hex
    if (end == saverWindow || *end != '\0') return std::nullopt;
    return NamedTarget{static_cast<Window>(id), std::string("XSCREENSAVER_WINDOW ") + saverWindow};
}

const char* VisualClassName(int visualClass) {
    switch (visualClass) {
        case StaticGray:
            return "StaticGray";
        case GrayScale:
            return "GrayScale";
        case StaticColor:
            return "StaticColor";
        case PseudoColor:
            return "PseudoColor";
        case DirectColor:
            return "DirectColor";
        default:
            return "TrueColor";
    }
}

// The pixels are written through the visual's colour masks, which only TrueColor defines
// for good; on a colour-mapped visual the picture would be noise.
std::string VisualProblem(const std::string& name, const Visual* visual, int depth) {
    if (visual && visual->c_class == TrueColor) return "";
    std::ostringstream out;
    out << "the visual of " << name << " is " << depth << "-bit "
        << VisualClassName(visual ? visual->c_class : StaticGray) << "; wrigglet draws only on TrueColor visuals";
    return out.str();
}

XSizeHints PlacementHints(Display* display, const X11Options& options) {
    XSizeHints hints{};
    hints.flags = PSize | PWinGravity;
    hints.width = options.Width;
    hints.height = options.Height;
    hints.win_gravity = NorthWestGravity;
    const int screen = DefaultScreen(display);
    const WindowPlacement place =
        PlaceOwnWindow(options, DisplayWidth(display, screen), DisplayHeight(display, screen));
    if (!place.Given) return hints;
    hints.flags |= USPosition;
    hints.x = place.X;
    hints.y = place.Y;
    static constexpr int Gravities[2][2] = {{NorthWestGravity, NorthEastGravity}, {SouthWestGravity, SouthEastGravity}};
    hints.win_gravity = Gravities[place.FromBottom][place.FromRight];
    return hints;
}

// A window manager's view of the window: its name and class, where the user placed it, the
// process that draws it, and the close button's message.
void DescribeOwnWindow(Display* display, Window window, XSizeHints& hints, Atom deleteWindow) {
    char name[] = "wrigglet", className[] = "Wrigglet";
    XTextProperty title{};
    char* titles[] = {name};
    XStringListToTextProperty(titles, 1, &title);
    XClassHint hint{name, className};
    XSetWMProperties(display, window, &title, &title, nullptr, 0, &hints, nullptr, &hint);
    XFree(title.value);
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    Atom protocols[] = {deleteWindow};
    XSetWMProtocols(display, window, protocols, 1);
}

Window MakeOwnWindow(Display* display, const X11Options& options, Atom deleteWindow) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = WatchedEvents;
    XSizeHints hints = PlacementHints(display, options);
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), hints.x, hints.y, static_cast<unsigned>(options.Width),
                      static_cast<unsigned>(options.Height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWEventMask, &attributes);
    DescribeOwnWindow(display, window, hints, deleteWindow);
    XMapWindow(display, window);
    XEvent event;
    do XWindowEvent(display, window, ExposureMask, &event);
    while (event.xexpose.count != 0);
    return window;
}

}  // namespace

std::optional<HackWindow> OpenHackWindow(Display* display, const X11Options& options, const char* saverWindow,
                                         std::string& error) {
    HackWindow hack;
    Window window = None;
    std::string name = "the root window";
    if (const auto named = NamedWindow(options, saverWindow)) {
        window = named->Id;
        name = named->Name;
    } else if (options.Root) {
        window = DefaultRootWindow(display);
    } else {
        const int screen = DefaultScreen(display);
        error = VisualProblem("the screen", DefaultVisual(display, screen), DefaultDepth(display, screen));
        if (!error.empty()) return std::nullopt;
        hack.DeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        window = MakeOwnWindow(display, options, hack.DeleteWindow);
        hack.Own = true;
    }
    XWindowAttributes attributes{};
    ErrorTrap trap(display);
    if (!XGetWindowAttributes(display, window, &attributes) || trap.Failed()) {
        error = name + " is not a window";
        return std::nullopt;
    }
    if (attributes.c_class == InputOnly) {
        error = name + " is an InputOnly window, which nothing can be drawn in";
        return std::nullopt;
    }
    error = VisualProblem(name, attributes.visual, attributes.depth);
    if (!error.empty()) return std::nullopt;
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
