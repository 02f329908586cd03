// Password protection: the platform family, the close gate and the change-password mode,
// with the platform's password libraries loaded from the system folder only when needed.
#pragma once

#include <windows.h>

#include "core/mouse_watch.h"

namespace wrigglet {

// True when the platform reports the NT family (no password prompt there).
bool QueryIsNTPlatform();

// The single way user input ends the saver: posts WM_DESTROY to `window` when closing is
// allowed, after asking for the desktop password on the older family (the prompt restarts
// `mouse`, the window's mouse watch, since the user moves the pointer over it).
void TryCloseSaverWindow(HWND window, bool isNTPlatform, MouseWatch& mouse);

// The change-password mode: the platform's dialog for the "SCRSAVE" provider, owned by `owner`.
void ChangeSaverPassword(HWND owner);

}  // namespace wrigglet
