// The shell's state for the one saver process: what the command line asked for, the
// platform family, the saver window and the mouse watch.
#pragma once

#include <windows.h>

#include "core/command_line.h"
#include "core/saver_settings.h"
#include "core/mouse_watch.h"

namespace wrigglet {

struct ShellState {
    SaverCommand Command;        // written once from the command line
    bool IsNTPlatform = false;   // set before anything else runs
    HWND SaverWindow = nullptr;  // target of the close request, parent of the password prompt
    MouseWatch Mouse;
};

// The process has one shell; window procedures have no other way to reach it.
extern ShellState Shell;

// The settings loaded at start-up; the scene and the settings dialog work on this one copy.
extern SaverSettings Settings;

inline HWND AsHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

inline WindowHandle AsWindowHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

}  // namespace wrigglet
