// The settings side of the program entry: load the stored settings, run the configure mode.
#include "win32/settings_duty.h"

#include "core/settings_store.h"
#include "win32/registry_settings_storage.h"
#include "win32/settings_dialogs.h"

namespace wrigglet {

void LoadSettings(SaverSettings& settings) {
    RegistrySettingsStorage storage;
    LoadSettings(storage, settings);
}

void ShowSettingsDialog(HINSTANCE instance, HWND owner, SaverSettings& settings) {
    SettingsDialogContext context{instance, &settings};
    DialogBoxParamA(instance, "SETTINGS", owner, SettingsDialogProc, reinterpret_cast<LPARAM>(&context));
}

}  // namespace wrigglet
