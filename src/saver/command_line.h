// The saver's command line: splitting it into parameters and choosing the run mode from them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace wrigglet {

// The bits of a platform window handle; 0 means none.
using WindowHandle = std::intptr_t;

// The duty the host asked for, one byte as the host's protocol has it.
enum RunMode : std::uint8_t {
    ModeNone = 0,            // nothing; the process ends
    ModeConfigure = 1,       // the settings dialog
    ModeChangePassword = 2,  // the platform's change-password dialog
    ModePreview = 3,         // the animation inside the host's window
    ModeFullScreen = 4,      // the animation on the whole screen
};

// What the command line asks for; written once at start-up, read afterwards.
struct SaverCommand {
    RunMode SaverMode = ModeNone;
    WindowHandle ParentWindow = 0;  // preview parent, owner of the dialogs
};

// True for the preview switches only: the scene then sizes itself by the host's window and
// ticks at a pace of its own.
inline bool IsPreview(const SaverCommand& command) { return command.SaverMode == ModePreview; }

// Parameter `index` of `commandLine` (0 is the program path), empty when there is none.
// Parameters are separated by runs of characters 1..32; a double quote opens a stretch
// that runs to the next quote (or the end) and keeps its blanks, and the quotes are
// dropped; pairs of quotes in front of a parameter are skipped. A NUL ends the text.
std::string CommandLineParameter(std::string_view commandLine, unsigned index);

// A window handle given as text: optional leading blanks, then a signed 32-bit decimal or
// a 32-bit hexadecimal introduced by "$", "x", "X", "0x" or "0X". The whole text must be
// consumed, otherwise the result is 0. The 32 bits are widened with their sign, the way
// the platform widens handles on 64-bit systems.
WindowHandle ParseWindowHandle(std::string_view text);

// Asked only for the "C" switch without a usable handle: the window in the foreground.
using ForegroundWindowSource = std::function<WindowHandle()>;

// Chooses the run mode and parent window from the whole process command line.
SaverCommand ParseSaverCommandLine(std::string_view commandLine, const ForegroundWindowSource& foregroundWindow);

}  // namespace wrigglet
