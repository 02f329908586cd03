// The saver window: its class, its two forms (preview child or full-screen popup), the
// default handling of its messages, and the preview and full-screen message loops.
#pragma once

#include <windows.h>

namespace wrigglet {

inline constexpr char SaverClassName[] = "screensaver";

// Registers the class and creates the window: the preview form inside `parent`, or the
// full-screen form when `parent` is null: the primary screen maximized, or with several
// monitors the whole virtual screen. `creationData` reaches the procedure in WM_NCCREATE
// and WM_CREATE. Ends the process (exit code 0) when no window can be made.
HWND CreateSaverWindow(HWND parent, const char* className, WNDPROC procedure, HBRUSH background, void* creationData);

// What the saver window does with the messages the scene leaves alone: hides the cursor,
// and sends key presses, button presses and large mouse moves to the close gate.
LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts the mouse-move rule afresh from where the cursor is now; the next move is ignored.
void RecordMouseOriginNow();

// The preview duty: the window inside the host's window, until it is destroyed.
void RunPreview();

// The full-screen duty: the topmost window until the user ends it; afterwards the
// window that was in the foreground before comes back.
void RunFullScreen();

}  // namespace wrigglet
