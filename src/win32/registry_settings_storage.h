// The settings storage over the current user's registry key of the saver.
#pragma once

#include <windows.h>

#include "saver/settings_store.h"

namespace wrigglet {

// "Software\Tolvarin\ScreenSavers\Wrigglet" under HKEY_CURRENT_USER.
class RegistrySettingsStorage final : public SettingsStorage {
public:
    ~RegistrySettingsStorage() override;
    bool OpenForReading() override;
    bool OpenForWriting() override;
    bool ReadValue(const char* name, std::array<uint8_t, 4>& buffer, uint32_t& length) override;
    void WriteDword(const char* name, uint32_t value) override;
    void Close() override;

private:
    HKEY Key = nullptr;
};

}  // namespace wrigglet
