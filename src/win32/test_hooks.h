// Hooks for the end-to-end tests only, switched on by environment variables; a saver
// started without them never touches any of this.
//   WRIGGLET_TEST_SEED=N     every Randomize seeds with N
//   WRIGGLET_TEST_TICKS=N    the animation freezes after N ticks, so a test can compare a frame
//   WRIGGLET_TEST_READOUT=1  the scene's counters are published as window properties
//   WRIGGLET_TEST_TIMER_FAILURES=N  the first N starts of the scene timer fail, as SetTimer
//                            does when the platform's timers run out
//   WRIGGLET_TEST_PICTURE=F  the window's picture is written to F (binary PPM) after each
//                            repaint: under Wine a preview child drawn by another process
//                            than its parent's never reaches the screen, so a test reads it here
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/frame.h"
#include "win32/gdi_scene_host.h"

namespace wrigglet {

// The hook's value as an unsigned decimal, if it is set to one.
std::optional<uint32_t> TestHookNumber(const char* name);

// The hook's text, or an empty string when it is not set.
std::string TestHookText(const char* name);

// Writes the picture to `path` as a binary PPM, whole or not at all.
void WritePictureFile(const Frame& picture, const std::string& path);

// Publishes the scene's counters on the window: timer messages seen, the process's CPU
// time, the GDI objects the scene holds, and the rectangles and GDI calls of its presents.
void PublishReadout(HWND window, uintptr_t timerMessages, const GdiSceneHost* host);

}  // namespace wrigglet
