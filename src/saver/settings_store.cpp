// The settings store: the value names, the read order and the decoding of stored values.
#include "saver/settings_store.h"

namespace wrigglet {
namespace {

// A stored value is taken as a little-endian 32-bit integer; the buffer is cleared
// before each query, so a short value reads as its bytes extended with zeros.
bool ReadInteger(SettingsStorage& storage, const char* name, uint32_t& value) {
    std::array<uint8_t, 4> buffer{};
    uint32_t length = static_cast<uint32_t>(buffer.size());
    if (!storage.ReadValue(name, buffer, length)) return false;
    value = uint32_t{buffer[0]} | uint32_t{buffer[1]} << 8 | uint32_t{buffer[2]} << 16 | uint32_t{buffer[3]} << 24;
    return true;
}

// A boolean is true only for exactly 1; any other stored number means false.
void ReadBoolean(SettingsStorage& storage, const char* name, bool& field) {
    uint32_t value = 0;
    if (ReadInteger(storage, name, value)) field = value == 1;
}

// Integers are taken unchanged, with no range check: the dialog and the scene cope
// with values outside 1 to 3.
void ReadSigned(SettingsStorage& storage, const char* name, int32_t& field) {
    uint32_t value = 0;
    if (ReadInteger(storage, name, value)) field = static_cast<int32_t>(value);
}

// Integers are stored as their low 16 bits, zero-extended.
uint32_t Low16(int32_t value) { return static_cast<uint32_t>(value) & 0xFFFFu; }

}  // namespace

void LoadSettings(SettingsStorage& storage, SaverSettings& settings) {
    settings.Desktop = true;
    if (!storage.OpenForReading()) return;
    ReadBoolean(storage, "Desktop", settings.Desktop);
    ReadBoolean(storage, "Sound", settings.Sound);
    ReadBoolean(storage, "Text", settings.Text);
    ReadSigned(storage, "Speed", settings.Speed);
    ReadSigned(storage, "Wrigglets", settings.Wrigglets);
    storage.Close();
}

void SaveSettings(SettingsStorage& storage, const SaverSettings& settings) {
    if (!storage.OpenForWriting()) return;
    storage.WriteDword("Desktop", settings.Desktop ? 1 : 0);
    storage.WriteDword("Sound", settings.Sound ? 1 : 0);
    storage.WriteDword("Text", settings.Text ? 1 : 0);
    storage.WriteDword("Speed", Low16(settings.Speed));
    storage.WriteDword("Wrigglets", Low16(settings.Wrigglets));
    storage.Close();
}

std::string DescribeSettings(const SaverSettings& settings) {
    return "Desktop=" + std::to_string(int{settings.Desktop}) + " Sound=" + std::to_string(int{settings.Sound}) +
           " Text=" + std::to_string(int{settings.Text}) + " Speed=" + std::to_string(settings.Speed) +
           " Wrigglets=" + std::to_string(settings.Wrigglets);
}

}  // namespace wrigglet
