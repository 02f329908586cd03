// Loading and saving the five settings through a small storage interface, so the
// decoding rules can be tested without a registry.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/saver_settings.h"

namespace wrigglet {

// One key holding named values of at most 4 bytes. The Windows layer implements it
// over the current user's registry; tests use an in-memory fake.
class SettingsStorage {
public:
    virtual ~SettingsStorage() = default;

    // Opens the key for reading; false when it does not exist or cannot be opened.
    virtual bool OpenForReading() = 0;

    // Creates the key (and every missing key on its path) or opens it for writing.
    virtual bool OpenForWriting() = 0;

    // Reads the named value into `buffer`, whatever its stored type. `length` holds the
    // capacity on entry and the value's length on success. Fails, leaving the buffer's
    // meaning undefined, when the value is missing or longer than the capacity.
    virtual bool ReadValue(const char* name, std::array<uint8_t, 4>& buffer, uint32_t& length) = 0;

    // Writes the named value as a 4-byte little-endian REG_DWORD; failures are ignored.
    virtual void WriteDword(const char* name, uint32_t value) = 0;

    // Closes whatever Open* opened.
    virtual void Close() = 0;
};

// Fills `settings` from the storage as far as the stored values allow. `Desktop` is set
// true first; a missing key or value leaves the field as it was.
void LoadSettings(SettingsStorage& storage, SaverSettings& settings);

// Writes all five settings, in a fixed order, every time.
void SaveSettings(SettingsStorage& storage, const SaverSettings& settings);

// One line naming every field and its value: "Desktop=1 Sound=0 Text=0 Speed=2 Wrigglets=3".
std::string DescribeSettings(const SaverSettings& settings);

}  // namespace wrigglet
