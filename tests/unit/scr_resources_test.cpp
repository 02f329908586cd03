// Inspects the resources of both built screen savers: the complete resource table, the
// two dialog templates field by field, the sounds, the icon and the description record.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

#include "pe_resources.h"

namespace wrigglet::testing {
namespace {

constexpr uint16_t Dutch = 1043;
constexpr uint16_t Neutral = 0;

struct Build {
    const char* Name;
    std::string Path;
    uint16_t Machine;
};

std::vector<Build> Builds() {
    return {{"win64", WRIGGLET_WIN64_DIR "/wrigglet2004.scr", 0x8664},
            {"win32", WRIGGLET_WIN32_DIR "/wrigglet2004-x86.scr", 0x14C}};
}

void PrintTo(const Build& build, std::ostream* out) { *out << build.Name; }

class ScrResources : public ::testing::TestWithParam<Build> {
protected:
    void SetUp() override {
        if (!std::ifstream(GetParam().Path)) {
            GTEST_SKIP() << GetParam().Path << " is missing: the " << GetParam().Name << " preset builds it";
        }
        image = ReadPeImage(ReadWholeFile(GetParam().Path));
        ASSERT_EQ(image.Machine, GetParam().Machine);
    }
    const PeResource& Find(const std::string& type, const std::string& name) const {
        for (const auto& r : image.Resources)
            if (r.Type == type && r.Name == name) return r;
        throw std::runtime_error("no resource " + type + "/" + name);
    }
    PeImage image;
};

using Row = std::tuple<std::string, std::string, uint16_t, size_t>;  // type, name, language, size

TEST_P(ScrResources, TableIsExactlyTheSavers) {
    std::set<Row> rows;
    for (const auto& r : image.Resources) rows.insert({r.Type, r.Name, r.Language, r.Data.size()});
    const size_t settingsSize = Find("#5", "SETTINGS").Data.size();
    const size_t aboutSize = Find("#5", "ABOUTBOX").Data.size();
    const size_t descriptionSize = Find("#10", "DESCRIPTION").Data.size();
    const size_t manifestSize = Find("#24", "#1").Data.size();
    const std::set<Row> want{
        {"WAVE", "#701", Dutch, 7452},        {"WAVE", "#702", Dutch, 19628},
        {"WAVE", "#703", Dutch, 20012},       {"#3", "#1", Dutch, 744},
        {"#14", "#100", Dutch, 20},           {"#5", "SETTINGS", Dutch, settingsSize},
        {"#5", "ABOUTBOX", Dutch, aboutSize}, {"#10", "DESCRIPTION", Neutral, descriptionSize},
        {"#24", "#1", Neutral, manifestSize},
    };
    EXPECT_EQ(rows, want);
    EXPECT_EQ(image.Resources.size(), want.size());
}

struct ControlRow {
    const char* Class;
    uint16_t Id;
    const char* Caption;
    uint32_t Style;
    int16_t X, Y, Width, Height;
};

void ExpectDialog(const Bytes& data, int16_t x, int16_t y, int16_t width, int16_t height,
                  const std::vector<ControlRow>& controls) {
    const DialogTemplate dialog = DecodeDialogTemplate(data);
    EXPECT_EQ(dialog.Style, 0x80C000C0u);
    EXPECT_EQ(dialog.ExStyle, 0u);
    EXPECT_EQ(std::tie(dialog.X, dialog.Y, dialog.Width, dialog.Height), std::tie(x, y, width, height));
    EXPECT_EQ(dialog.Menu, "");
    EXPECT_EQ(dialog.Class, "");
    EXPECT_EQ(dialog.Title, "Wrigglet2004");
    EXPECT_EQ(dialog.PointSize, 8);
    EXPECT_EQ(dialog.Font, "MS Sans Serif");
    EXPECT_LE(data.size() - dialog.Length, 3u) << "bytes beyond the template";
    ASSERT_EQ(dialog.Controls.size(), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& got = dialog.Controls[i];
        const ControlRow& want = controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(got.Class, want.Class);
        EXPECT_EQ(got.Id, want.Id);
        EXPECT_EQ(got.Caption, want.Caption);
        EXPECT_EQ(got.Style, want.Style);
        EXPECT_EQ(got.ExStyle, 0u);
        EXPECT_EQ(std::tie(got.X, got.Y, got.Width, got.Height), std::tie(want.X, want.Y, want.Width, want.Height));
        EXPECT_EQ(got.CreationDataSize, 0);
    }
}

TEST_P(ScrResources, SettingsDialogTemplate) {
    ExpectDialog(Find("#5", "SETTINGS").Data, 48, 28, 144, 144,
                 {
                     {"STATIC", 0xFFFF, "#100", 0x50000003, 108, 28, 18, 20},
                     {"BUTTON", 1, "OK", 0x50010001, 8, 124, 40, 16},
                     {"BUTTON", 2, "Cancel", 0x50010000, 52, 124, 40, 16},
                     {"BUTTON", 991, "&About", 0x50010000, 96, 124, 40, 16},
                     {"BUTTON", 703, "Background", 0x50030007, 4, 2, 92, 22},
                     {"BUTTON", 101, "Desktop", 0x50010009, 12, 10, 40, 12},
                     {"BUTTON", 102, "Black", 0x50010009, 56, 10, 36, 12},
                     {"BUTTON", 704, "Sound", 0x50030007, 4, 26, 92, 22},
                     {"BUTTON", 301, "On", 0x50010009, 12, 34, 40, 12},
                     {"BUTTON", 302, "Off", 0x50010009, 56, 34, 36, 12},
                     {"BUTTON", 705, "Text", 0x50030007, 4, 50, 92, 22},
                     {"BUTTON", 401, "On", 0x50010009, 12, 58, 40, 12},
                     {"BUTTON", 402, "Off", 0x50010009, 56, 58, 36, 12},
                     {"BUTTON", 706, "Speed", 0x50030007, 4, 74, 136, 22},
                     {"BUTTON", 200, "Slow", 0x50010009, 12, 82, 40, 12},
                     {"BUTTON", 201, "Normal", 0x50010009, 56, 82, 40, 12},
                     {"BUTTON", 202, "Turbo", 0x50010009, 100, 82, 36, 12},
                     {"BUTTON", 707, "Wrigglets", 0x50030007, 4, 98, 136, 22},
                     {"BUTTON", 500, "Few", 0x50010009, 12, 106, 40, 12},
                     {"BUTTON", 501, "Normal", 0x50010009, 56, 106, 40, 12},
                     {"BUTTON", 502, "Lots", 0x50010009, 100, 106, 36, 12},
                 });
}

TEST_P(ScrResources, AboutBoxTemplate) {
    const Bytes& data = Find("#5", "ABOUTBOX").Data;
    const DialogTemplate about = DecodeDialogTemplate(data);
    ASSERT_EQ(about.Controls.size(), 6u);
    // The two text lines are ours to word; the rest is fixed.
    const std::string copyright = about.Controls[4].Caption, credit = about.Controls[5].Caption;
    EXPECT_NE(copyright.find("2004"), std::string::npos);
    EXPECT_NE(credit.find("Perlin"), std::string::npos);
    ExpectDialog(data, 22, 40, 168, 56,
                 {
                     {"BUTTON", 1, "OK", 0x50010001, 64, 36, 40, 16},
                     {"BUTTON", 3, ">>", 0x50010000, 150, 6, 12, 12},
                     {"STATIC", 0xFFFF, "#100", 0x50000003, 8, 8, 18, 20},
                     {"STATIC", 701, "v 2004", 0x50020000, 8, 40, 41, 8},
                     {"STATIC", 702, copyright.c_str(), 0x50020000, 42, 8, 108, 8},
                     {"STATIC", 702, credit.c_str(), 0x50020000, 42, 20, 143, 8},
                 });
}

TEST_P(ScrResources, SoundsAreQuietSeamlessPcmWaves) {
    const std::map<std::string, uint32_t> samples{{"#701", 7408}, {"#702", 19584}, {"#703", 19968}};
    for (const auto& [name, count] : samples) {
        SCOPED_TRACE("WAVE " + name);
        const Bytes& wave = Find("WAVE", name).Data;
        ASSERT_EQ(wave.size(), 44 + count);
        EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
        EXPECT_EQ(Dword(wave, 4), wave.size() - 8);
        EXPECT_EQ(std::string(wave.begin() + 8, wave.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(Dword(wave, 16), 16u);
        EXPECT_EQ(Word(wave, 20), 1);  // PCM
        EXPECT_EQ(Word(wave, 22), 1);  // mono
        EXPECT_EQ(Dword(wave, 24), 11025u);
        EXPECT_EQ(Dword(wave, 28), 11025u);
        EXPECT_EQ(Word(wave, 32), 1);
        EXPECT_EQ(Word(wave, 34), 8);
        EXPECT_EQ(std::string(wave.begin() + 36, wave.begin() + 40), "data");
        EXPECT_EQ(Dword(wave, 40), count);

        const std::vector<int> pcm(wave.begin() + 44, wave.end());
        int peak = 0;
        std::vector<int> steps;
        for (size_t i = 0; i < pcm.size(); ++i) {
            peak = std::max(peak, std::abs(pcm[i] - 128));
            if (i + 1 < pcm.size()) steps.push_back(std::abs(pcm[i + 1] - pcm[i]));
        }
        EXPECT_GE(peak, 0.14 * 128);
        EXPECT_LE(peak, 0.40 * 128);
        // Looped, the jump from the last sample to the first must be an ordinary one.
        std::sort(steps.begin(), steps.end());
        EXPECT_LE(std::abs(pcm.front() - pcm.back()), steps[steps.size() * 99 / 100]);
    }
}

// The platform's 16 basic colours as stored in a bitmap palette: blue, green, red, 0.
const uint8_t StandardPalette[16][4] = {
    {0, 0, 0, 0},     {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},   {128, 0, 0, 0}, {128, 0, 128, 0},
    {128, 128, 0, 0}, {192, 192, 192, 0}, {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0}, {0, 255, 255, 0},
    {255, 0, 0, 0},   {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
};

TEST_P(ScrResources, IconGroupAndImage) {
    const Bytes& group = Find("#14", "#100").Data;
    EXPECT_EQ(Word(group, 0), 0);
    EXPECT_EQ(Word(group, 2), 1);  // icons
    ASSERT_EQ(Word(group, 4), 1);  // one image
    EXPECT_EQ(group[6], 32);
    EXPECT_EQ(group[7], 32);
    EXPECT_EQ(group[8], 16);
    EXPECT_EQ(group[9], 0);
    EXPECT_EQ(Word(group, 10), 1);
    EXPECT_EQ(Word(group, 12), 4);
    EXPECT_EQ(Dword(group, 14), 744u);
    EXPECT_EQ(Word(group, 18), 1);  // image id

    const Bytes& icon = Find("#3", "#1").Data;
    ASSERT_EQ(icon.size(), 744u);
    EXPECT_EQ(Dword(icon, 0), 40u);
    EXPECT_EQ(Dword(icon, 4), 32u);
    EXPECT_EQ(Dword(icon, 8), 64u);
    EXPECT_EQ(Word(icon, 12), 1);
    EXPECT_EQ(Word(icon, 14), 4);
    EXPECT_EQ(Dword(icon, 16), 0u);
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(std::equal(StandardPalette[i], StandardPalette[i] + 4, icon.begin() + 40 + 4 * i))
            << "colour " << i;

    // A grey creature with white eyes and a red mouth on a see-through background.
    std::map<int, int> opaque;
    int transparent = 0;
    for (int pixel = 0; pixel < 32 * 32; ++pixel) {
        const int colour = (icon[104 + pixel / 2] >> (pixel % 2 ? 0 : 4)) & 15;
        const bool clear = icon[616 + pixel / 8] & (0x80 >> (pixel % 8));
        if (clear) {
            ++transparent;
            EXPECT_EQ(colour, 0);
        } else {
            ++opaque[colour];
        }
    }
    EXPECT_GT(transparent, 200);
    EXPECT_GT(opaque[7] + opaque[8], 250) << "grey body";
    EXPECT_GT(opaque[15], 20) << "white eyes";
    EXPECT_GT(opaque[9], 10) << "red mouth";
}

TEST_P(ScrResources, DescriptionRecord) {
    const Bytes& data = Find("#10", "DESCRIPTION").Data;
    ASSERT_EQ(data.size() % 4, 0u);
    std::string text;
    size_t at = 0;
    for (; at + 1 < data.size() && Word(data, at) != 0; at += 2) {
        ASSERT_LT(Word(data, at), 0x80) << "plain text expected";
        text.push_back(char(Word(data, at)));
    }
    ASSERT_LT(at + 1, data.size()) << "no terminating null";
    EXPECT_EQ(text.rfind("CRNSAVE : ", 0), 0u) << text;
    EXPECT_GT(text.size(), 10u) << "no title";
    EXPECT_TRUE(std::all_of(data.begin() + long(at), data.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_LT(data.size() - at, 6u) << "padding beyond the next multiple of 4";
}

// Per-monitor DPI aware, and themed controls in the dialogs (common controls 6).
TEST_P(ScrResources, ManifestDeclaresPerMonitorDpiAwarenessAndThemedControls) {
    const Bytes& data = Find("#24", "#1").Data;
    const std::string manifest(data.begin(), data.end());
    EXPECT_NE(manifest.find("<dpiAwareness"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Built, ScrResources, ::testing::ValuesIn(Builds()),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace wrigglet::testing
