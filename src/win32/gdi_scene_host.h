// The scenes' platform side on a real window: the monitors, the snapshot and the window's
// picture as 32-bit DIB sections, the screen capture, the timer, and copying touched
// rectangles out.
#pragma once

#include <windows.h>

#include "core/scene_session.h"

namespace wrigglet {

class GdiSceneHost final : public SceneHost {
public:
    explicit GdiSceneHost(HWND window) : window_(window) {}
    ~GdiSceneHost() override { ReleaseSnapshot(); }

    SceneSize ScreenSize() override;
    SceneSize ClientSize() override;
    std::vector<PixelRect> Monitors() override;
    bool CaptureSnapshot(int32_t width, int32_t height, bool stretch, bool fromScreen, uint32_t*& snapshot,
                         uint32_t*& picture) override;
    void ReleaseSnapshot() override;
    void StartTimer(uint32_t id, uint32_t milliseconds) override;
    void StopTimer(uint32_t id) override;
    void Present(const std::vector<PixelRect>& rects) override;

    // Starts the scene timer again when SetTimer failed before (the platform's timers can
    // run out); without it the picture would stay frozen.
    void KeepTimer();
    uint32_t TimerStartsToFail = 0;  // a test hook: these many SetTimer calls count as failed

    // What the presents have cost so far, for the tests' readout and the benchmarks.
    uintptr_t Presents = 0;
    uintptr_t PresentedRects = 0;
    uintptr_t PresentGdiCalls = 0;
    uintptr_t PresentedPixels = 0;
    // GDI objects and device contexts made and not yet given back, counted as they go: the
    // platform's own count (GetGuiResources) is not available everywhere.
    uintptr_t LiveGdiObjects = 0;

private:
    HWND window_;
    HBITMAP snapshotBitmap_ = nullptr;
    HBITMAP pictureBitmap_ = nullptr;
    uint32_t timerId_ = 0;
    uint32_t timerInterval_ = 0;
    bool timerWanted_ = false;
    bool timerRunning_ = false;
};

}  // namespace wrigglet
