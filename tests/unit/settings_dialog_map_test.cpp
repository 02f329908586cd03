// The settings dialog's button mapping, both ways, against a fake set of radio buttons.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "saver/settings_dialog_map.h"
#include "fake_settings_storage.h"  // prints settings in failures

namespace wrigglet {
namespace {

struct PresetCase {
    const char* Name;
    SaverSettings Settings;
    std::vector<int> Checked;  // in the order the dialog checks them
};

void PrintTo(const PresetCase& c, std::ostream* out) { *out << c.Name; }

class PresetTable : public ::testing::TestWithParam<PresetCase> {};

TEST_P(PresetTable, ChecksTheButtonsInOrder) {
    std::vector<int> checked;
    PresetButtons(GetParam().Settings, [&](int id) { checked.push_back(id); });
    EXPECT_EQ(checked, GetParam().Checked);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, PresetTable,
    ::testing::Values(PresetCase{"NeverConfigured", {}, {101, 201, 501, 302, 402}},
                      PresetCase{"AllOn",
                                 {.Desktop = true, .Sound = true, .Text = true, .Speed = 3, .Wrigglets = 3},
                                 {101, 202, 502, 301, 401}},
                      PresetCase{"AllOff",
                                 {.Desktop = false, .Sound = false, .Text = false, .Speed = 1, .Wrigglets = 1},
                                 {102, 200, 500, 302, 402}},
                      PresetCase{"ZeroAndSevenCheckNothing", {.Speed = 0, .Wrigglets = 7}, {101, 302, 402}},
                      // 199 + 102 and 499 - 398 are ids of other groups' buttons; they must stay unchecked.
                      PresetCase{"ValuesThatWouldNameOtherButtons", {.Speed = 102, .Wrigglets = -398}, {101, 302, 402}},
                      PresetCase{
                          "ExtremesDoNotOverflow", {.Speed = INT32_MAX, .Wrigglets = INT32_MIN}, {101, 302, 402}}),
    [](const auto& info) { return std::string(info.param.Name); });

// A dialog's radio buttons: an id maps to what IsDlgButtonChecked would answer.
using Buttons = std::map<int, unsigned>;

struct ReadCase {
    const char* Name;
    Buttons State;
    SaverSettings Expected;  // read into a copy of Before()
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.Name; }

SaverSettings Before() {
    return SaverSettings{.Desktop = true, .Sound = true, .Text = true, .Speed = 7, .Wrigglets = 0};
}

class ReadTable : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTable, ReadsTheButtonsBack) {
    SaverSettings settings = Before();
    const Buttons& state = GetParam().State;
    ReadButtons(settings, [&](int id) {
        const auto found = state.find(id);
        return found == state.end() ? 0u : found->second;
    });
    const SaverSettings& want = GetParam().Expected;
    EXPECT_EQ(settings, want);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, ReadTable,
    ::testing::Values(ReadCase{"NothingCheckedKeepsIntegersClearsBooleans",
                               {},
                               {.Desktop = false, .Sound = false, .Text = false, .Speed = 7, .Wrigglets = 0}},
                      ReadCase{"EveryChoice",
                               {{101, 1}, {301, 1}, {401, 1}, {202, 1}, {500, 1}},
                               {.Desktop = true, .Sound = true, .Text = true, .Speed = 3, .Wrigglets = 1}},
                      ReadCase{"OffButtons",
                               {{102, 1}, {302, 1}, {402, 1}, {200, 1}, {501, 1}},
                               {.Desktop = false, .Sound = false, .Text = false, .Speed = 1, .Wrigglets = 2}},
                      ReadCase{"OnlyExactlyOneCounts",
                               {{101, 2}, {301, 2}, {401, 0xFFFF}, {201, 2}, {502, 3}},
                               {.Desktop = false, .Sound = false, .Text = false, .Speed = 7, .Wrigglets = 0}},
                      ReadCase{"LastCheckedOfAGroupWins",
                               {{200, 1}, {202, 1}, {500, 1}, {501, 1}},
                               {.Desktop = false, .Sound = false, .Text = false, .Speed = 3, .Wrigglets = 2}}),
    [](const auto& info) { return std::string(info.param.Name); });

// What a user sees and leaves untouched comes back unchanged through OK, for every
// combination of the values the dialog offers and a few it doesn't.
TEST(DialogRoundTrip, PresetThenReadKeepsSettings) {
    for (int bits = 0; bits < 8; ++bits) {
        for (int32_t speed : {-1, 0, 1, 2, 3, 4, 102}) {
            for (int32_t wrigglets : {0, 1, 2, 3, 7, -398}) {
                const SaverSettings original{.Desktop = (bits & 1) != 0,
                                             .Sound = (bits & 2) != 0,
                                             .Text = (bits & 4) != 0,
                                             .Speed = speed,
                                             .Wrigglets = wrigglets};
                Buttons state;
                PresetButtons(original, [&](int id) { state[id] = 1; });
                SaverSettings read = original;
                ReadButtons(read, [&](int id) { return state.count(id) ? state[id] : 0u; });
                EXPECT_EQ(read.Desktop, original.Desktop);
                EXPECT_EQ(read.Sound, original.Sound);
                EXPECT_EQ(read.Text, original.Text);
                EXPECT_EQ(read.Speed, original.Speed);
                EXPECT_EQ(read.Wrigglets, original.Wrigglets);
            }
        }
    }
}

}  // namespace
}  // namespace wrigglet
