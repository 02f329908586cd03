// The saver window's procedure: the scene sees every message first and hands the rest on
// to DefaultSaverProc. The window's scenes live in a SceneWindow that the duty owns and
// hands to the window as its creation parameter.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/scene_session.h"
#include "win32/gdi_scene_host.h"
#include "win32/gdi_text.h"
#include "win32/wave_sound.h"

namespace wrigglet {

// One saver window's scenes and the platform pieces that serve them.
struct SceneWindow {
    SceneSession Session;
    std::optional<GdiSceneHost> Host;
    std::optional<WaveSoundPlayer> Sound;
    GdiTextRasteriser Text;  // used by the set-up, at the first tick
    uint64_t TicksLeft = UINT64_MAX;
    bool Readout = false;            // WRIGGLET_TEST_READOUT is set
    std::string PictureFile;         // WRIGGLET_TEST_PICTURE names it
    uintptr_t TimerMessages = 0;     // every WM_TIMER, also those of a frozen or empty scene
    uintptr_t LayoutChanges = 0;     // WM_DISPLAYCHANGE messages handled
    uintptr_t TickMicroseconds = 0;  // wall time of the ticks' work, counted with the readout on
};

// The window procedure; the window's creation parameter must be its SceneWindow, which
// must outlive the window.
LRESULT CALLBACK SceneCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts the scene's timer again if it could not be made; the message loop calls it.
void KeepSceneTimer(SceneWindow& scenes);

}  // namespace wrigglet
