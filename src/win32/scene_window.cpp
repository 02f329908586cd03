// The scene's window procedure. No scene is drawn yet: every message goes on to
// DefaultSaverProc, so the window is the saver's black or empty surface.
#include "win32/scene_window.h"

#include "win32/saver_window.h"

namespace wrigglet {

LRESULT CALLBACK SceneCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultSaverProc(window, message, wParam, lParam);
}

}  // namespace wrigglet
