// The picture of the desktop a scene starts from: the screenshot XScreenSaver leaves on
// its window for its hacks, else what the root window shows, else nothing (black).
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "core/pixel_rect.h"
#include "core/stop_request.h"

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

// The whole drawable as the picture, at its origin; false when it can't be read. A pixmap
// carries no colour masks, so `visual` (the window's) gives them.
bool ReadDrawable(Display* display, Drawable drawable, const Visual* visual, DesktopImage& desktop);

// Fills a picture of `area` (in the window's coordinates, rows of exactly its width) with
// the desktop under it; whatever the desktop picture doesn't cover is black. Row by row,
// asking `stop` before each; false when it stopped.
bool CopyDesktop(const DesktopImage& desktop, const PixelRect& area, uint32_t* pixels, const StopRequest& stop = {});

}  // namespace wrigglet::x11
