// Finding the desktop's picture. XScreenSaver grabs the screen before it blanks it and
// hangs that pixmap on the saver window's _SCREENSAVER_SCREENSHOT property; the window
// itself is black by then, so that pixmap is the only desktop a hack can get.
#include "x11/desktop_image.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "x11/x11_errors.h"
#include "x11/x11_pixels.h"

namespace wrigglet::x11 {

namespace {

Pixmap OwnScreenshot(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = None;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after, &data) ==
            Success &&
        type == XA_PIXMAP && format == 32 && count == 1)
        pixmap = static_cast<Pixmap>(reinterpret_cast<unsigned long*>(data)[0]);
    if (data) XFree(data);
    return pixmap;
}

struct Screenshot {
    Pixmap Picture = None;
    Window Holder = None;  // the window it was taken for, whose origin is the picture's
};

// The daemon may run the hack in a window of its own inside the one it hung the
// screenshot on, so the window's ancestors are asked too.
Screenshot ScreenshotOf(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", True);
    while (property != None && window != None) {
        if (const Pixmap pixmap = OwnScreenshot(display, window, property); pixmap != None) return {pixmap, window};
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return {};
        if (children) XFree(children);
        window = parent == root ? None : parent;
    }
    return {};
}

}  // namespace

bool ReadDrawable(Display* display, Drawable drawable, const Visual* visual, DesktopImage& desktop) {
    Window root = None;
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    ErrorTrap trap(display);
    if (!XGetGeometry(display, drawable, &root, &x, &y, &width, &height, &border, &depth) || trap.Failed())
        return false;
    XImage* image = XGetImage(display, drawable, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return false;
    if (image->red_mask == 0 && visual) {
        image->red_mask = visual->red_mask;
        image->green_mask = visual->green_mask;
        image->blue_mask = visual->blue_mask;
    }
    desktop.Width = static_cast<int32_t>(width);
    desktop.Height = static_cast<int32_t>(height);
    desktop.Pixels.resize(static_cast<size_t>(width) * height);
    ReadImagePixels(*image, 0, 0, desktop.Width, desktop.Height, desktop.Pixels.data(), width);
    XDestroyImage(image);
    return true;
}

// With several monitors the daemon takes one screenshot per saver window, of that window
// alone; the root's own contents start at the root's origin.
DesktopImage TakeDesktop(Display* display, Window window, bool isRoot) {
    DesktopImage desktop;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return desktop;
    const Screenshot screenshot = ScreenshotOf(display, window);
    Window child = None;
    if (screenshot.Picture != None && ReadDrawable(display, screenshot.Picture, attributes.visual, desktop)) {
        XTranslateCoordinates(display, window, screenshot.Holder, 0, 0, &desktop.WindowX, &desktop.WindowY, &child);
        return desktop;
    }
    if (isRoot && ReadDrawable(display, window, attributes.visual, desktop)) return desktop;
    return {};
}

bool CopyDesktop(const DesktopImage& desktop, const PixelRect& area, uint32_t* pixels, const StopRequest& stop) {
    // The area in the desktop picture's coordinates.
    return CopyAreaOrBlack({desktop.Pixels.data(), desktop.Width, desktop.Height},
                           OffsetRect(area, desktop.WindowX, desktop.WindowY), pixels, stop);
}

}  // namespace wrigglet::x11
