// An in-memory stand-in for the registry key that holds the settings: values keep their
// raw bytes and a type tag, and every write is logged in order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "saver/settings_store.h"

namespace wrigglet {
// Test failures show settings field by field.
inline void PrintTo(const SaverSettings& settings, std::ostream* out) { *out << DescribeSettings(settings); }
}  // namespace wrigglet

namespace wrigglet::testing {

enum class ValueType { Dword, Binary, String };

struct StoredValue {
    ValueType Type = ValueType::Dword;
    std::vector<uint8_t> Bytes;
};

struct WrittenValue {
    std::string Name;
    ValueType Type;
    std::vector<uint8_t> Bytes;
    bool operator==(const WrittenValue&) const = default;
};

class FakeSettingsStorage : public SettingsStorage {
public:
    bool KeyExists = false;
    bool CreateFails = false;
    bool WritesFail = false;
    std::map<std::string, StoredValue> Values;
    std::vector<WrittenValue> Writes;
    std::vector<std::string> Queries;
    int OpenHandles = 0;

    void StoreDword(const std::string& name, uint32_t value) {
        KeyExists = true;
        Values[name] = {ValueType::Dword, LittleEndian(value)};
    }
    void StoreRaw(const std::string& name, ValueType type, std::vector<uint8_t> bytes) {
        KeyExists = true;
        Values[name] = {type, std::move(bytes)};
    }
    static std::vector<uint8_t> LittleEndian(uint32_t value) {
        return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    }

    bool OpenForReading() override {
        if (!KeyExists) return false;
        ++OpenHandles;
        return true;
    }
    bool OpenForWriting() override {
        if (CreateFails) return false;
        KeyExists = true;
        ++OpenHandles;
        return true;
    }
    // Behaves like a registry query: a value longer than the capacity fails with the
    // buffer partly overwritten, so a decoder that trusts the buffer would be caught.
    bool ReadValue(const char* name, std::array<uint8_t, 4>& buffer, uint32_t& length) override {
        Queries.push_back(name);
        const auto found = Values.find(name);
        if (found == Values.end()) return false;
        const auto& bytes = found->second.Bytes;
        const uint32_t capacity = length;
        std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), capacity), buffer.begin());
        length = static_cast<uint32_t>(bytes.size());
        return bytes.size() <= capacity;
    }
    void WriteDword(const char* name, uint32_t value) override {
        Writes.push_back({name, ValueType::Dword, LittleEndian(value)});
        if (!WritesFail) Values[name] = {ValueType::Dword, LittleEndian(value)};
    }
    void Close() override { --OpenHandles; }
};

}  // namespace wrigglet::testing
