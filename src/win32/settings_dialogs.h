// The dialog procedures of the configure mode: the settings dialog and its About box.
#pragma once

#include <windows.h>

#include "core/saver_settings.h"

namespace wrigglet {

// What the settings dialog works on; its address is the dialog's creation parameter.
struct SettingsDialogContext {
    HINSTANCE Instance = nullptr;
    SaverSettings* Settings = nullptr;
};

// The SETTINGS template's procedure: presets the buttons, saves on OK, opens the About box.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The ABOUTBOX template's procedure.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace wrigglet
