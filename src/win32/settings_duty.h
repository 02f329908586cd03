// The settings side of the Windows layer: the registry store and the configure mode.
#pragma once

#include <windows.h>

#include "core/saver_settings.h"

namespace wrigglet {

// Fills `settings` from the current user's registry; every run mode calls it once.
void LoadSettings(SaverSettings& settings);

// The configure mode: the modal settings dialog, owned by `owner` (0: no owner).
void ShowSettingsDialog(HINSTANCE instance, HWND owner, SaverSettings& settings);

}  // namespace wrigglet
