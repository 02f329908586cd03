// -fps: the frame rate in a corner of the primary monitor's scene, drawn by the hack over
// its picture with the server's own "fixed" font, as XScreenSaver's hacks show theirs.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <string>

#include "core/pixel_rect.h"

namespace wrigglet::x11 {

struct FpsReadout {
    Display* Connection = nullptr;
    Window Target = None;
    GC Gc = nullptr;
    XFontStruct* Font = nullptr;  // none: the server has no font and nothing is drawn
    std::chrono::steady_clock::time_point Since;
    int Frames = 0;
    std::string Text = "FPS: -";
};

void OpenFpsReadout(FpsReadout& readout, Display* display, Window window);

// One more frame shown; the rate is worked out again once a second has passed.
void CountFrame(FpsReadout& readout, std::chrono::steady_clock::time_point now);

// Over the bottom-left corner of `area` (the window's coordinates).
void DrawFpsReadout(const FpsReadout& readout, const PixelRect& area);

void CloseFpsReadout(FpsReadout& readout);

}  // namespace wrigglet::x11
