// The picture of the desktop a scene starts from: the screenshot XScreenSaver leaves on
// its window for its hacks, else what the root window shows, else nothing (black).
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

namespace wrigglet::x11 {

struct DesktopImage {
    int32_t Width = 0;  // 0: no picture, the scene starts from black
    int32_t Height = 0;
    int32_t WindowX = 0;  // where the window's top-left corner lies in the picture
    int32_t WindowY = 0;
    std::vector<uint32_t> Pixels;  // 0x00RRGGBB, row by row
};

// Reads the desktop for `window` once, at start. `isRoot`: the window is the real root,
// whose own contents are then the desktop.
DesktopImage TakeDesktop(Display* display, Window window, bool isRoot);

// Fills a width x height picture with the desktop under the window's (left, top) corner;
// whatever the desktop picture doesn't cover is black.
void CopyDesktop(const DesktopImage& desktop, int32_t left, int32_t top, int32_t width, int32_t height,
                 uint32_t* pixels);

}  // namespace wrigglet::x11
