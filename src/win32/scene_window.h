// The saver window's procedure: the scene sees every message first and hands the rest on
// to DefaultSaverProc.
#pragma once

#include <windows.h>

namespace wrigglet {

LRESULT CALLBACK SceneCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts the scene's timer again if it could not be made; the message loop calls it.
void KeepSceneTimer();

}  // namespace wrigglet
