// The frame-rate readout: white on black, so it reads on any picture, and drawn after each
// present, which may have painted over it.
#include "x11/fps_readout.h"

#include <cstdio>

namespace wrigglet::x11 {

namespace {

constexpr int Margin = 4;

}  // namespace

void OpenFpsReadout(FpsReadout& readout, Display* display, Window window) {
    readout.Connection = display;
    readout.Target = window;
    readout.Font = XLoadQueryFont(display, "fixed");
    if (!readout.Font) return;
    XGCValues values{};
    values.foreground = WhitePixel(display, DefaultScreen(display));
    values.background = BlackPixel(display, DefaultScreen(display));
    values.font = readout.Font->fid;
    readout.Gc = XCreateGC(display, window, GCForeground | GCBackground | GCFont, &values);
    readout.Since = std::chrono::steady_clock::now();
}

void CountFrame(FpsReadout& readout, std::chrono::steady_clock::time_point now) {
    ++readout.Frames;
    const std::chrono::duration<double> elapsed = now - readout.Since;
    if (elapsed.count() < 1.0) return;
    char text[32];
    std::snprintf(text, sizeof text, "FPS: %.1f", readout.Frames / elapsed.count());
    readout.Text = text;
    readout.Frames = 0;
    readout.Since = now;
}

void DrawFpsReadout(const FpsReadout& readout, const PixelRect& area) {
    if (!readout.Gc) return;
    const int baseline = area.Bottom - Margin - readout.Font->descent;
    XDrawImageString(readout.Connection, readout.Target, readout.Gc, area.Left + Margin, baseline, readout.Text.c_str(),
                     static_cast<int>(readout.Text.size()));
    XFlush(readout.Connection);
}

void CloseFpsReadout(FpsReadout& readout) {
    if (readout.Gc) XFreeGC(readout.Connection, readout.Gc);
    if (readout.Font) XFreeFont(readout.Connection, readout.Font);
    readout.Gc = nullptr;
    readout.Font = nullptr;
}

}  // namespace wrigglet::x11
