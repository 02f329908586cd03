// Loading and saving the settings against the in-memory store.
#include <gtest/gtest.h>

#include <random>

#include "saver/settings_store.h"
#include "fake_settings_storage.h"

namespace wrigglet {
namespace {

using testing::FakeSettingsStorage;
using testing::ValueType;
using testing::WrittenValue;

// A recognisable starting point: every field differs from what the store would write.
SaverSettings Sentinel() {
    return SaverSettings{.Desktop = false, .Sound = true, .Text = true, .Speed = -5, .Wrigglets = 77};
}

struct LoadCase {
    const char* Name;
    std::function<void(FakeSettingsStorage&)> Arrange;
    SaverSettings Expected;
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.Name; }

class LoadSettingsTable : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadSettingsTable, DecodesStoredValues) {
    FakeSettingsStorage storage;
    GetParam().Arrange(storage);
    SaverSettings settings = Sentinel();
    LoadSettings(storage, settings);
    const SaverSettings& want = GetParam().Expected;
    EXPECT_EQ(settings, want);
    EXPECT_EQ(storage.OpenHandles, 0) << "the key must be closed";
}

void StoreAll(FakeSettingsStorage& s, uint32_t desktop, uint32_t sound, uint32_t text, uint32_t speed,
              uint32_t wrigglets) {
    s.StoreDword("Desktop", desktop);
    s.StoreDword("Sound", sound);
    s.StoreDword("Text", text);
    s.StoreDword("Speed", speed);
    s.StoreDword("Wrigglets", wrigglets);
}

INSTANTIATE_TEST_SUITE_P(
    Store, LoadSettingsTable,
    ::testing::Values(LoadCase{"NoKeyOnlySetsDesktop",
                               [](FakeSettingsStorage&) {},
                               {.Desktop = true, .Sound = true, .Text = true, .Speed = -5, .Wrigglets = 77}},
                      LoadCase{"AllStored",
                               [](FakeSettingsStorage& s) { StoreAll(s, 0, 1, 1, 3, 1); },
                               {.Desktop = false, .Sound = true, .Text = true, .Speed = 3, .Wrigglets = 1}},
                      LoadCase{"KeyWithoutDesktop",
                               [](FakeSettingsStorage& s) {
                                   StoreAll(s, 0, 0, 1, 1, 3);
                                   s.Values.erase("Desktop");
                               },
                               {.Desktop = true, .Sound = false, .Text = true, .Speed = 1, .Wrigglets = 3}},
                      LoadCase{"SoundTwoIsFalse",
                               [](FakeSettingsStorage& s) { StoreAll(s, 1, 2, 0x101, 2, 2); },
                               {.Desktop = true, .Sound = false, .Text = false, .Speed = 2, .Wrigglets = 2}},
                      LoadCase{"SpeedAsBinaryIsReadLikeDword",
                               [](FakeSettingsStorage& s) {
                                   s.StoreRaw("Speed", ValueType::Binary, {3, 0, 0, 0});
                               },
                               {.Desktop = true, .Sound = true, .Text = true, .Speed = 3, .Wrigglets = 77}},
                      LoadCase{"ShortValuesAreZeroExtended",
                               [](FakeSettingsStorage& s) {
                                   s.StoreRaw("Sound", ValueType::Binary, {1});
                                   s.StoreRaw("Speed", ValueType::String, {'3', 0});
                                   s.StoreRaw("Wrigglets", ValueType::Binary, {});
                                   s.StoreRaw("Text", ValueType::Binary, {1, 0, 0});
                               },
                               {.Desktop = true, .Sound = true, .Text = true, .Speed = 0x33, .Wrigglets = 0}},
                      LoadCase{"LongValuesLeaveTheirFieldAlone",
                               [](FakeSettingsStorage& s) {
                                   StoreAll(s, 0, 0, 0, 0, 0);
                                   s.StoreRaw("Desktop", ValueType::Binary, {0, 0, 0, 0, 0});
                                   s.StoreRaw("Sound", ValueType::Binary, {0, 0, 0, 0, 0});
                                   s.StoreRaw("Speed", ValueType::Binary, {1, 0, 0, 0, 0, 0, 0, 0});
                                   s.StoreRaw("Wrigglets", ValueType::String, {'2', 0, 0, 0, 0});
                               },
                               {.Desktop = true, .Sound = true, .Text = false, .Speed = -5, .Wrigglets = 77}},
                      LoadCase{"SpeedSevenIsKept",
                               [](FakeSettingsStorage& s) { s.StoreDword("Speed", 7); },
                               {.Desktop = true, .Sound = true, .Text = true, .Speed = 7, .Wrigglets = 77}},
                      LoadCase{"IntegersAreNotRangeChecked",
                               [](FakeSettingsStorage& s) {
                                   s.StoreDword("Speed", 0xFFFFFFFF);
                                   s.StoreDword("Wrigglets", 0x80000000);
                               },
                               {.Desktop = true, .Sound = true, .Text = true, .Speed = -1, .Wrigglets = INT32_MIN}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(LoadSettings, QueriesInOrder) {
    FakeSettingsStorage storage;
    storage.KeyExists = true;
    SaverSettings settings;
    LoadSettings(storage, settings);
    EXPECT_EQ(storage.Queries, (std::vector<std::string>{"Desktop", "Sound", "Text", "Speed", "Wrigglets"}));
}

TEST(LoadSettings, NeverConfiguredSaverAnimates) {
    FakeSettingsStorage storage;
    SaverSettings settings;
    LoadSettings(storage, settings);
    EXPECT_TRUE(settings.Desktop);
    EXPECT_FALSE(settings.Sound);
    EXPECT_FALSE(settings.Text);
    EXPECT_EQ(settings.Speed, 2);
    EXPECT_EQ(settings.Wrigglets, 2);
}

std::vector<uint8_t> Le(uint32_t v) { return FakeSettingsStorage::LittleEndian(v); }

struct SaveCase {
    const char* Name;
    SaverSettings Settings;
    std::vector<uint32_t> Written;  // Desktop, Sound, Text, Speed, Wrigglets
};

void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.Name; }

class SaveSettingsTable : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveSettingsTable, WritesAllFiveDwordsInOrder) {
    FakeSettingsStorage storage;
    SaveSettings(storage, GetParam().Settings);
    const char* names[] = {"Desktop", "Sound", "Text", "Speed", "Wrigglets"};
    std::vector<WrittenValue> want;
    for (size_t i = 0; i < 5; ++i) want.push_back({names[i], ValueType::Dword, Le(GetParam().Written[i])});
    EXPECT_EQ(storage.Writes, want);
    EXPECT_EQ(storage.OpenHandles, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Store, SaveSettingsTable,
    ::testing::Values(
        SaveCase{"Defaults", {}, {1, 0, 0, 2, 2}},
        SaveCase{"AllOn", {.Desktop = true, .Sound = true, .Text = true, .Speed = 3, .Wrigglets = 3}, {1, 1, 1, 3, 3}},
        SaveCase{
            "AllOff", {.Desktop = false, .Sound = false, .Text = false, .Speed = 1, .Wrigglets = 1}, {0, 0, 0, 1, 1}},
        SaveCase{"SevenWrittenBack", {.Speed = 7, .Wrigglets = 0}, {1, 0, 0, 7, 0}},
        SaveCase{"Low16Bits", {.Speed = 65535, .Wrigglets = 65537}, {1, 0, 0, 65535, 1}},
        SaveCase{"NegativeAsLow16Bits", {.Speed = -1, .Wrigglets = INT32_MIN}, {1, 0, 0, 0xFFFF, 0}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SaveSettings, CreatesMissingKeyAndLoadsBack) {
    FakeSettingsStorage storage;
    const SaverSettings saved{.Desktop = false, .Sound = true, .Text = false, .Speed = 3, .Wrigglets = 1};
    SaveSettings(storage, saved);
    ASSERT_TRUE(storage.KeyExists);
    SaverSettings loaded = Sentinel();
    LoadSettings(storage, loaded);
    EXPECT_EQ(loaded.Desktop, false);
    EXPECT_EQ(loaded.Sound, true);
    EXPECT_EQ(loaded.Text, false);
    EXPECT_EQ(loaded.Speed, 3);
    EXPECT_EQ(loaded.Wrigglets, 1);
}

TEST(SaveSettings, KeyThatCannotBeCreatedWritesNothing) {
    FakeSettingsStorage storage;
    storage.CreateFails = true;
    SaveSettings(storage, {});
    EXPECT_TRUE(storage.Writes.empty());
    EXPECT_EQ(storage.OpenHandles, 0);
}

TEST(SaveSettings, FailedWritesDoNotStopTheRest) {
    FakeSettingsStorage storage;
    storage.WritesFail = true;
    SaveSettings(storage, {});
    EXPECT_EQ(storage.Writes.size(), 5u);
}

// Arbitrary bytes of arbitrary length under every name: short values read as their
// bytes zero-extended, values over 4 bytes leave their field alone, and nothing reads
// past the stored bytes (ASan and UBSan watch the native-asan run).
TEST(LoadSettings, ArbitraryStoredBytes) {
    std::mt19937 rng(20040);
    const char* names[] = {"Desktop", "Sound", "Text", "Speed", "Wrigglets"};
    for (int round = 0; round < 20000; ++round) {
        FakeSettingsStorage storage;
        storage.KeyExists = true;
        uint64_t numbers[5];
        bool readable[5];
        for (int i = 0; i < 5; ++i) {
            const size_t length = rng() % 10;
            std::vector<uint8_t> bytes(length);
            for (auto& b : bytes) b = static_cast<uint8_t>(rng());
            readable[i] = length <= 4 && rng() % 8 != 0;
            numbers[i] = 0;
            for (size_t k = 0; k < std::min<size_t>(length, 4); ++k) numbers[i] |= uint64_t{bytes[k]} << (8 * k);
            if (readable[i] || length > 4) storage.StoreRaw(names[i], ValueType(rng() % 3), bytes);
        }
        SaverSettings settings = Sentinel();
        LoadSettings(storage, settings);
        const SaverSettings before = Sentinel();
        ASSERT_EQ(settings.Desktop, readable[0] ? numbers[0] == 1 : true);
        ASSERT_EQ(settings.Sound, readable[1] ? numbers[1] == 1 : before.Sound);
        ASSERT_EQ(settings.Text, readable[2] ? numbers[2] == 1 : before.Text);
        ASSERT_EQ(settings.Speed, readable[3] ? static_cast<int32_t>(numbers[3]) : before.Speed);
        ASSERT_EQ(settings.Wrigglets, readable[4] ? static_cast<int32_t>(numbers[4]) : before.Wrigglets);
    }
}

TEST(DescribeSettings, NamesEveryFieldWithItsValue) {
    EXPECT_EQ(DescribeSettings({.Desktop = false, .Sound = true, .Text = false, .Speed = -7, .Wrigglets = 3}),
              "Desktop=0 Sound=1 Text=0 Speed=-7 Wrigglets=3");
}

}  // namespace
}  // namespace wrigglet
