// The settings side of the Windows layer: the registry store and the configure mode.
#pragma once

#include <windows.h>

#include "core/saver_settings.h"

namespace wrigglet {

// The settings stored in the current user's registry; every run mode reads them once.
SaverSettings LoadRegistrySettings();

// The configure mode: the modal settings dialog, owned by `owner` (0: no owner).
void ShowSettingsDialog(HINSTANCE instance, HWND owner, SaverSettings& settings);

}  // namespace wrigglet
