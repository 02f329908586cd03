// The saver window's own state and its default handling of messages: the hidden cursor,
// and input that asks the close gate to end the saver.
#pragma once

#include <windows.h>

#include "saver/command_line.h"
#include "core/mouse_watch.h"
#include "core/saver_settings.h"

namespace wrigglet {

inline HWND AsHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

inline WindowHandle AsWindowHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// What one saver window works with, reached through the window; the duty that makes the
// window owns it.
struct SaverWindow {
    SaverCommand Command;
    SaverSettings Settings;
    bool IsNTPlatform = false;
    MouseWatch Mouse;
    HWND Handle = nullptr;  // target of the close request, parent of the password prompt
};

// What the saver window does with the messages the scene leaves alone: hides the cursor,
// and sends key presses, button presses and large mouse moves to the close gate.
LRESULT DefaultSaverProc(SaverWindow& saver, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts the mouse-move rule afresh from where the cursor is now; the next move is ignored.
void RestartMouseWatch(SaverWindow& saver);

}  // namespace wrigglet
