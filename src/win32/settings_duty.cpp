// The settings side of the program entry: load the stored settings, run the configure mode.
#include "win32/settings_duty.h"

#include "saver/settings_store.h"
#include "win32/registry_settings_storage.h"
#include "win32/settings_dialogs.h"

namespace wrigglet {
namespace {

// A debug readout: when the environment variable WRIGGLET_SETTINGS_READOUT names a file,
// each process appends the settings it loaded there as one line. The end-to-end tests
// use it to see what a saver run took from the registry.
void ReadOutLoadedSettings(const SaverSettings& settings) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("WRIGGLET_SETTINGS_READOUT", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string line = DescribeSettings(settings) + "\r\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

SaverSettings LoadRegistrySettings() {
    RegistrySettingsStorage storage;
    SaverSettings settings;
    LoadSettings(storage, settings);
    ReadOutLoadedSettings(settings);
    return settings;
}

void ShowSettingsDialog(HINSTANCE instance, HWND owner, SaverSettings& settings) {
    SettingsDialogContext context{instance, &settings};
    DialogBoxParamA(instance, "SETTINGS", owner, SettingsDialogProc, reinterpret_cast<LPARAM>(&context));
}

}  // namespace wrigglet
