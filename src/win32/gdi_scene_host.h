// The scenes' platform side on a real window: the monitors, the snapshot and the window's
// picture as 32-bit DIB sections, the screen capture, and copying touched rectangles out.
#pragma once

#include <windows.h>

#include "core/scene_session.h"

namespace wrigglet {

class GdiSceneHost final : public SceneHost {
public:
    explicit GdiSceneHost(HWND window) : window_(window) {}
    ~GdiSceneHost() override { ReleasePictures(); }

    MonitorList Monitors() override;
    SceneSize ClientSize() override;
    bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) override;
    void ReleasePictures() override;
    void Present(const std::vector<PixelRect>& rects) override;
    // The window covers what it captured from its creation on, so a later capture would
    // read the saver itself.
    bool DesktopVisible() override { return !captured_; }

    // What the presents have cost so far on this platform, for the tests' readout and the
    // benchmarks (the session counts the rectangles and pixels).
    uintptr_t PresentGdiCalls = 0;
    uintptr_t PresentMicroseconds = 0;  // wall time inside Present, counted only when TimePresents
    bool TimePresents = false;
    // GDI objects and device contexts made and not yet given back, counted as they go: the
    // platform's own count (GetGuiResources) is not available everywhere.
    uintptr_t LiveGdiObjects = 0;

private:
    HWND window_;
    HBITMAP snapshotBitmap_ = nullptr;
    HBITMAP pictureBitmap_ = nullptr;
    // A memory device context holding the picture for the scene's whole life: making one
    // for each present would cost more than the rest of the present together (under Wine
    // the X driver makes a graphics context with each).
    HDC pictureDc_ = nullptr;
    HGDIOBJ pictureDcBitmap_ = nullptr;  // the bitmap the DC came with, put back before deleting it
    bool captured_ = false;
};

}  // namespace wrigglet
