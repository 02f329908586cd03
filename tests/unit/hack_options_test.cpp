// The X11 hack's command line, as a table of good and bad argument lists.
#include "x11/hack_options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace wrigglet::x11 {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The options as one line, so a table row states the whole expected result.
std::string Describe(const HackOptions& o) {
    std::ostringstream out;
    out << "window=" << (o.WindowId ? std::to_string(*o.WindowId) : "-") << " root=" << o.Root << " size=" << o.Width
        << "x" << o.Height << " desktop=" << o.Settings.Desktop << " text=" << o.Settings.Text
        << " speed=" << o.Settings.Speed << " wrigglets=" << o.Settings.Wrigglets
        << " seed=" << (o.Seed ? std::to_string(*o.Seed) : "-")
        << " ticks=" << (o.Ticks ? std::to_string(*o.Ticks) : "-") << " sound=" << o.Settings.Sound;
    return out.str();
}

struct GoodCase {
    const char* arguments;
    const char* options;
};

class GoodHackArguments : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodHackArguments, GiveTheseOptions) {
    const ParsedHackOptions parsed = ParseHackArguments(Words(GetParam().arguments));
    EXPECT_EQ(parsed.Error, "");
    EXPECT_EQ(Describe(parsed.Options), GetParam().options) << GetParam().arguments;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoodHackArguments,
    ::testing::Values(
        // The Windows saver's defaults when nothing was ever stored.
        GoodCase{"", "window=- root=0 size=1024x768 desktop=1 text=0 speed=2 wrigglets=2 seed=- ticks=- sound=0"},
        GoodCase{"-window-id 0x2a00007",
                 "window=44040199 root=0 size=1024x768 desktop=1 text=0 speed=2 wrigglets=2 seed=- ticks=- sound=0"},
        GoodCase{"--window-id 77 --root",
                 "window=77 root=1 size=1024x768 desktop=1 text=0 speed=2 wrigglets=2 seed=- ticks=- sound=0"},
        GoodCase{"-geometry 640x480+10+20 -no-desktop -text",
                 "window=- root=0 size=640x480 desktop=0 text=1 speed=2 wrigglets=2 seed=- ticks=- sound=0"},
        GoodCase{"-text -no-text -no-desktop -desktop",
                 "window=- root=0 size=1024x768 desktop=1 text=0 speed=2 wrigglets=2 seed=- ticks=- sound=0"},
        GoodCase{"-speed 1 -wrigglets 3 -seed 4294967295 -ticks 0",
                 "window=- root=0 size=1024x768 desktop=1 text=0 speed=1 wrigglets=3 seed=4294967295 ticks=0 sound=0"},
        GoodCase{"-speed 3 -wrigglets 1 -display :3",
                 "window=- root=0 size=1024x768 desktop=1 text=0 speed=3 wrigglets=1 seed=- ticks=- sound=0"}));

class BadHackArguments : public ::testing::TestWithParam<const char*> {};

TEST_P(BadHackArguments, AreRefusedByName) {
    const ParsedHackOptions parsed = ParseHackArguments(Words(GetParam()));
    EXPECT_NE(parsed.Error.find("bad argument '"), std::string::npos) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Table, BadHackArguments,
                         ::testing::Values("-speed 0", "-speed 4", "-wrigglets 0", "-wrigglets 4", "-speed",
                                           "-speed two", "-seed -1", "-seed 4294967296", "-ticks -5", "-window-id",
                                           "-window-id 0xZZ", "-window-id -3", "-geometry 0x480", "-geometry 640",
                                           "-sound", "root", "-", "--", "-root extra"));

TEST(HackUsage, IsOneLine) { EXPECT_EQ(HackUsageLine().find('\n'), std::string::npos); }

}  // namespace
}  // namespace wrigglet::x11
