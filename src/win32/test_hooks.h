// Hooks for the end-to-end tests only, switched on by environment variables; a saver
// started without them never touches any of this.
//   WRIGGLET_TEST_SEED=N     every Randomize seeds with N
//   WRIGGLET_TEST_TICKS=N    the animation freezes after N ticks of the scenes (a new layout
//                            builds new ones), so a test can compare a frame
//   WRIGGLET_TEST_READOUT=1  the scene's counters are published as window properties when
//                            a test sends the window ReadoutMessage() (only then: a
//                            publication per tick would cost more than the tick it measures)
//   WRIGGLET_TEST_TIMER_FAILURES=N  the first N starts of the scene timer fail, as SetTimer
//                            does when the platform's timers run out
//   WRIGGLET_TEST_PICTURE=F  the window's picture is written to F (binary PPM) after each
//                            repaint: under Wine a preview child drawn by another process
//                            than its parent's never reaches the screen, so a test reads it here
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "core/frame.h"

namespace wrigglet {

// The hook's value as an unsigned decimal, if it is set to one.
std::optional<uint32_t> TestHookNumber(const char* name);

// The hook's text, or an empty string when it is not set.
std::string TestHookText(const char* name);

// Writes the picture to `path` as a binary PPM, whole or not at all.
void WritePictureFile(const Frame& picture, const std::string& path);

// The message, registered by name, that asks a saver window to publish its readout.
UINT ReadoutMessage();

struct ReadoutValue {
    const char* Name;
    uintptr_t Value;
};

// Publishes counters on the window as properties of these names, and the process's CPU
// time as WriggletCpuMs.
void PublishReadout(HWND window, std::initializer_list<ReadoutValue> values);

}  // namespace wrigglet
