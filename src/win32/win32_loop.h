// The saver window with its scenes: the window procedure maps the platform's messages to
// the scene session's verbs (a timer message is a tick, a paint a repaint, a display change
// a new layout) and hands the rest to DefaultSaverProc.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/scene_session.h"
#include "win32/gdi_scene_host.h"
#include "win32/gdi_text.h"
#include "win32/saver_window.h"
#include "win32/wave_sound.h"

namespace wrigglet {

// The scene's timer. SetTimer can fail when the platform's timers run out; the message
// loop then asks again, since without the timer the picture would stay frozen.
struct SceneTimer {
    uint32_t Interval = 0;  // 0: not wanted
    bool Running = false;
    uint32_t StartsToFail = 0;  // a test hook: these many SetTimer calls count as failed
};

// The loop's state: one saver window's own state, its scenes and the platform pieces that
// serve them.
struct LoopState {
    SaverWindow Saver;
    SceneSession Session;
    std::optional<GdiSceneHost> Host;
    std::optional<WaveSoundPlayer> Sound;
    GdiTextRasteriser Text;  // used by the set-up, at the first tick
    SceneTimer Timer;
    bool Readout = false;            // WRIGGLET_TEST_READOUT is set
    std::string PictureFile;         // WRIGGLET_TEST_PICTURE names it
    uintptr_t TimerMessages = 0;     // every timer message, also those of a frozen or empty scene
    bool LayoutDue = false;          // the display changed since the scenes were laid out
    uintptr_t LayoutChanges = 0;     // new layouts made
    uintptr_t TickMicroseconds = 0;  // wall time of the ticks' work, counted with the readout on
};

// Makes the saver window for `state` (which must outlive it): inside `parent` for the
// preview, else over the whole screen, topmost. Null when the window can't be made, or
// `parent` is no window the preview can live in.
HWND CreateSceneWindow(LoopState& state, HWND parent);

// Starts the scene's timer if it is wanted and not running; the message loop calls it.
void KeepSceneTimer(LoopState& state);

}  // namespace wrigglet
