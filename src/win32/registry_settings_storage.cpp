// Reads and writes the saver's settings values in the current user's registry.
#include "win32/registry_settings_storage.h"

namespace wrigglet {
namespace {

constexpr char SettingsKeyPath[] = "Software\\Tolvarin\\ScreenSavers\\Wrigglet";

}  // namespace

RegistrySettingsStorage::~RegistrySettingsStorage() { Close(); }

bool RegistrySettingsStorage::OpenForReading() {
    Close();
    return RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &Key) == ERROR_SUCCESS;
}

bool RegistrySettingsStorage::OpenForWriting() {
    Close();
    return RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &Key, nullptr) == ERROR_SUCCESS;
}

bool RegistrySettingsStorage::ReadValue(const char* name, std::array<uint8_t, 4>& buffer, uint32_t& length) {
    if (!Key) return false;
    DWORD type = 0;  // not looked at: any type whose data fits is taken as a number
    DWORD size = length;
    const LONG result = RegQueryValueExA(Key, name, nullptr, &type, buffer.data(), &size);
    length = size;
    return result == ERROR_SUCCESS;
}

void RegistrySettingsStorage::WriteDword(const char* name, uint32_t value) {
    if (!Key) return;
    const DWORD data = value;
    RegSetValueExA(Key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void RegistrySettingsStorage::Close() {
    if (Key) RegCloseKey(Key);
    Key = nullptr;
}

}  // namespace wrigglet
