// Finding the desktop's picture. XScreenSaver grabs the screen before it blanks it and
// hangs that pixmap on the saver window's _SCREENSAVER_SCREENSHOT property; the window
// itself is black by then, so that pixmap is the only desktop a hack can get.
#include "x11/desktop_image.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

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

// The daemon may run the hack in a window of its own inside the one it hung the
// screenshot on, so the window's ancestors are asked too.
Pixmap ScreenshotOf(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", True);
    while (property != None && window != None) {
        if (const Pixmap pixmap = OwnScreenshot(display, window, property); pixmap != None) return pixmap;
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return None;
        if (children) XFree(children);
        window = parent == root ? None : parent;
    }
    return None;
}

// The whole drawable as scene pixels; a pixmap's image carries no colour masks, so the
// window's visual gives them.
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

}  // namespace

DesktopImage TakeDesktop(Display* display, Window window, bool isRoot) {
    DesktopImage desktop;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return desktop;
    Window child = None;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &desktop.WindowX, &desktop.WindowY, &child);
    const Pixmap screenshot = ScreenshotOf(display, window);
    if (screenshot != None && ReadDrawable(display, screenshot, attributes.visual, desktop)) return desktop;
    if (isRoot && ReadDrawable(display, window, attributes.visual, desktop)) return desktop;
    return {};
}

void CopyDesktop(const DesktopImage& desktop, const PixelRect& area, uint32_t* pixels) {
    const int32_t width = RectWidth(area);
    FillRect(pixels, width, {0, 0, width, RectHeight(area)}, 0);
    // The area in the desktop picture's coordinates, and the part of it the picture holds.
    const PixelRect wanted = OffsetRect(area, desktop.WindowX, desktop.WindowY);
    const PixelRect shown = ClipRect(wanted, {0, 0, desktop.Width, desktop.Height});
    for (int32_t y = shown.Top; y < shown.Bottom; ++y) {
        const uint32_t* in = desktop.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(desktop.Width) +
                             static_cast<size_t>(shown.Left);
        std::copy_n(in, RectWidth(shown),
                    pixels + static_cast<size_t>(y - wanted.Top) * static_cast<size_t>(width) +
                        static_cast<size_t>(shown.Left - wanted.Left));
    }
}

}  // namespace wrigglet::x11
