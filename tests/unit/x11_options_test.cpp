// The X11 hack's command line, as a table of good and bad argument lists.
#include "x11/x11_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

namespace wrigglet::x11 {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string Position(const GeometryPosition& p) {
    std::ostringstream out;
    out << (p.XNegative ? '-' : '+') << std::abs(p.X) << (p.YNegative ? '-' : '+') << std::abs(p.Y);
    return out.str();
}

template <typename T>
std::string Maybe(const std::optional<T>& value) {
    return value ? std::to_string(*value) : "-";
}

using Fields = std::map<std::string, std::string>;

// Every option and what the entry was asked, by name, so a row names only what it is about.
Fields Describe(const X11Options& o, const posix::CommandLineAnswer& answer) {
    const SaverSettings& settings = o.Scene.Settings;
    return {{"window", Maybe(o.WindowId)},
            {"root", std::to_string(o.Root)},
            {"size", std::to_string(o.Width) + "x" + std::to_string(o.Height)},
            {"at", o.Position ? Position(*o.Position) : "-"},
            {"desktop", std::to_string(settings.Desktop)},
            {"text", std::to_string(settings.Text)},
            {"speed", std::to_string(settings.Speed)},
            {"wrigglets", std::to_string(settings.Wrigglets)},
            {"seed", Maybe(o.Scene.Seed)},
            {"ticks", Maybe(o.Scene.TickLimit)},
            {"sound", std::to_string(settings.Sound)},
            {"delay", Maybe(o.Delay)},
            {"fps", std::to_string(o.Fps)},
            {"display", o.Display},
            {"help", std::to_string(answer.Help)},
            {"version", std::to_string(answer.Version)}};
}

posix::CommandLineAnswer Parse(const std::string& line, X11Options& options) {
    return posix::ParseCommandLine(X11CommandLine(options), Words(line));
}

struct GoodCase {
    const char* arguments;
    const char* fields;  // "name=value ...": the fields the row is about; the others keep their defaults
};

void PrintTo(const GoodCase& c, std::ostream* out) { *out << c.arguments; }

class GoodX11Arguments : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodX11Arguments, GiveTheseOptions) {
    X11Options defaults, options;
    Fields expected = Describe(defaults, {});
    for (const std::string& field : Words(GetParam().fields)) {
        const size_t equals = field.find('=');
        expected[field.substr(0, equals)] = field.substr(equals + 1);
    }
    const posix::CommandLineAnswer answer = Parse(GetParam().arguments, options);
    EXPECT_EQ(answer.Error, "");
    EXPECT_EQ(Describe(options, answer), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoodX11Arguments,
    ::testing::Values(
        // The Windows saver's defaults when nothing was ever stored.
        GoodCase{"",
                 "window=- root=0 size=1024x768 at=- desktop=1 text=0 speed=2 wrigglets=2 seed=- ticks=- sound=0 "
                 "delay=- fps=0 display= help=0 version=0"},
        GoodCase{"-window-id 0x2a00007", "window=44040199"},
        GoodCase{"--window-id 0XFFFFFFFF --root", "window=4294967295 root=1"},
        GoodCase{"-geometry 640x480+10+20 -no-desktop -text", "size=640x480 at=+10+20 desktop=0 text=1"},
        GoodCase{"-text -no-text -no-desktop -desktop", "text=0 desktop=1"},
        GoodCase{"-speed 1 -wrigglets 3 -seed 4294967295 -ticks 0", "speed=1 wrigglets=3 seed=4294967295 ticks=0"},
        GoodCase{"-speed 3 -wrigglets 1 -display :3", "speed=3 wrigglets=1 display=:3"},
        // A programs line copied from another hack.
        GoodCase{"--root --fps", "root=1 fps=1"},
        GoodCase{"-root -window -geometry -0-5 -delay 20000 -fps -no-fps -mono -install -noinstall -visual TrueColor "
                 "-pair -sync",
                 "root=0 at=-0-5 delay=20000 fps=0"},
        GoodCase{"-geometry 800x600 -geometry +0-32767 -delay 0", "size=800x600 at=+0-32767 delay=0"},
        // Unique abbreviations; a whole name wins over the longer names it starts.
        GoodCase{"-geom 16384x1-5+6 -r -wr 3 -sp 1 -f -h -window",
                 "size=16384x1 at=-5+6 root=0 wrigglets=3 speed=1 fps=1 help=1"},
        GoodCase{"--vers", "version=1"}));

struct BadCase {
    const char* arguments;
    const char* error;  // the start of the one line that says why
};

void PrintTo(const BadCase& c, std::ostream* out) { *out << c.arguments; }

class BadX11Arguments : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadX11Arguments, AreRefusedByName) {
    X11Options options;
    const std::string error = Parse(GetParam().arguments, options).Error;
    EXPECT_EQ(error.substr(0, std::string(GetParam().error).size()), GetParam().error) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadX11Arguments,
    ::testing::Values(
        BadCase{"-speed 0", "-speed wants a whole number 1..3, not '0'"}, BadCase{"-speed 4", "-speed wants"},
        BadCase{"-wrigglets 0", "-wrigglets wants"}, BadCase{"-wrigglets 4", "-wrigglets wants"},
        BadCase{"-speed", "-speed needs a value"}, BadCase{"-speed two", "-speed wants"},
        BadCase{"-seed -1", "-seed wants"}, BadCase{"-seed 4294967296", "-seed wants"},
        BadCase{"-ticks -5", "-ticks wants a whole number 0 or more"},
        BadCase{"-window-id", "-window-id needs a value"}, BadCase{"-window-id 0xZZ", "-window-id wants"},
        BadCase{"-window-id -3", "-window-id wants"}, BadCase{"-window-id 0", "-window-id wants"},
        // More than 32 bits would name another window once cut.
        BadCase{"-window-id 0x100000000", "-window-id wants"}, BadCase{"-window-id 4294967296", "-window-id wants"},
        BadCase{"-geometry 0x480", "-geometry wants"}, BadCase{"-geometry 640", "-geometry wants"},
        BadCase{"-geometry -help", "-geometry wants"}, BadCase{"-geometry +junk", "-geometry wants"},
        BadCase{"-geometry 640x480+10", "-geometry wants"}, BadCase{"-geometry 640x480+1+2x", "-geometry wants"},
        BadCase{"-geometry 16385x10", "-geometry wants"}, BadCase{"-geom +32768+0", "-geom wants"},
        BadCase{"-display -help", "-display needs a value, not the option '-help'"},
        BadCase{"-display", "-display needs a value"}, BadCase{"-visual -root", "-visual needs a value"},
        BadCase{"-delay -1", "-delay wants"}, BadCase{"-delay 10000001", "-delay wants"},
        BadCase{"-d", "'-d' is ambiguous: -desktop, -delay, -display"}, BadCase{"-win 5", "'-win' is ambiguous"},
        BadCase{"-no", "'-no' is ambiguous"}, BadCase{"-v", "'-v' is ambiguous: -visual, -version"},
        BadCase{"-sound", "unknown argument '-sound'"}, BadCase{"root", "unknown argument 'root'"},
        BadCase{"-", "unknown argument '-'"}, BadCase{"--", "unknown argument '--'"},
        BadCase{"-fps=1", "unknown argument '-fps=1'"}, BadCase{"-root extra", "unknown argument 'extra'"}));

// On a 1024x768 screen: '-' offsets count from the right and bottom edges to the window's.
TEST(X11Placement, GeometryOffsetsPlaceTheWindowAsX11Does) {
    struct Case {
        const char* geometry;
        int32_t x, y;
        bool given, fromRight, fromBottom;
    };
    for (const Case c : {Case{"320x200", 0, 0, false, false, false}, Case{"320x200+10+20", 10, 20, true, false, false},
                         Case{"320x200-10-20", 694, 548, true, true, true}, Case{"-0+5", 0, 5, true, true, false},
                         Case{"100x50+0-0", 0, 718, true, false, true}}) {
        X11Options options;
        Parse(std::string("-geometry ") + c.geometry, options);
        const WindowPlacement place = PlaceOwnWindow(options, 1024, 768);
        EXPECT_EQ((std::vector<int32_t>{place.X, place.Y}), (std::vector<int32_t>{c.x, c.y})) << c.geometry;
        EXPECT_EQ((std::vector<bool>{place.Given, place.FromRight, place.FromBottom}),
                  (std::vector<bool>{c.given, c.fromRight, c.fromBottom}))
            << c.geometry;
    }
}

}  // namespace
}  // namespace wrigglet::x11
