// Placeholder until the settings store and dialog arrive: nothing is read or shown.
#include "win32/settings_duty.h"

namespace wrigglet {

void LoadSettings(SaverSettings&) {}

void ShowSettingsDialog(HINSTANCE, HWND, SaverSettings&) {}

}  // namespace wrigglet
