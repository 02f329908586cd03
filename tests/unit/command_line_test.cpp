// The command line: parameter splitting and the choice of run mode, as tables.
#include "saver/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace wrigglet {
namespace {

struct SplitCase {
    const char* line;
    const char* first;
    const char* second;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class Splitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Splitting, GivesParametersOneAndTwo) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(CommandLineParameter(c.line, 1), c.first) << "line: " << c.line;
    EXPECT_EQ(CommandLineParameter(c.line, 2), c.second) << "line: " << c.line;
}

INSTANTIATE_TEST_SUITE_P(Table, Splitting,
                         ::testing::Values(SplitCase{"saver.scr /p 1234", "/p", "1234"},
                                           SplitCase{"saver.scr", "", ""},  // missing parameters
                                           SplitCase{"saver.scr /s", "/s", ""},
                                           SplitCase{"saver.scr   /s    42   ", "/s", "42"},  // runs of blanks
                                           SplitCase{"saver.scr\t/s\r\n42", "/s", "42"},      // control characters
                                           SplitCase{"saver.scr\x01/s\x1f"
                                                     "42",
                                                     "/s", "42"},                       // codes 1 and 31
                                           SplitCase{"saver.scr /s 1 2 3", "/s", "1"},  // further ones ignored
                                           SplitCase{"\"C:\\Program Files\\saver.scr\" /c 7", "/c", "7"},
                                           SplitCase{"saver.scr \"/p 12\" 34", "/p 12", "34"},  // quoted blanks kept
                                           SplitCase{"saver.scr /p\"1 2\"3 x", "/p1 23",
                                                     "x"},                                  // quotes inside a parameter
                                           SplitCase{"saver.scr \"/s", "/s", ""},           // quote runs to the end
                                           SplitCase{"saver.scr \"\"/s 5", "/s", "5"},      // leading pair skipped
                                           SplitCase{"saver.scr \"\"\"\"/s 5", "/s", "5"},  // several pairs
                                           SplitCase{"saver.scr \"\" /s 5", "/s", "5"},  // a lone pair is no parameter
                                           SplitCase{"saver.scr /s\"\" 5", "/s", "5"},  // an empty stretch adds nothing
                                           SplitCase{"saver.scr \"\"\"/a b\" c", "/a b", "c"},  // pair, then a stretch
                                           SplitCase{"saver.scr /c:1234", "/c:1234", ""}));

TEST(Splitting, NulEndsTheText) {
    const std::string line("saver.scr /s\0 42", 16);
    EXPECT_EQ(CommandLineParameter(line, 1), "/s");
    EXPECT_EQ(CommandLineParameter(line, 2), "");
}

TEST(Splitting, ParameterZeroIsTheProgram) {
    EXPECT_EQ(CommandLineParameter("\"C:\\a b\\w.scr\" /s", 0), "C:\\a b\\w.scr");
}

constexpr WindowHandle Foreground = 0x5150;
constexpr auto None = ModeNone;
constexpr auto Configure = ModeConfigure;
constexpr auto ChangePassword = ModeChangePassword;
constexpr auto Preview = ModePreview;
constexpr auto FullScreen = ModeFullScreen;

struct ModeCase {
    const char* arguments;  // what follows the program path
    RunMode mode;
    WindowHandle parent;
    bool isPreview;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << '"' << c.arguments << '"'; }

class ModeChoice : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeChoice, FollowsTheSwitch) {
    const ModeCase& c = GetParam();
    int foregroundAsked = 0;
    const SaverCommand command = ParseSaverCommandLine(std::string("w.scr ") + c.arguments, [&] {
        ++foregroundAsked;
        return Foreground;
    });
    EXPECT_EQ(command.SaverMode, c.mode) << c.arguments;
    EXPECT_EQ(command.ParentWindow, c.parent) << c.arguments;
    EXPECT_EQ(IsPreview(command), c.isPreview) << c.arguments;
    // The foreground window is consulted only when /c gave no handle.
    EXPECT_EQ(foregroundAsked, c.parent == Foreground ? 1 : 0) << c.arguments;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ModeChoice,
    ::testing::Values(ModeCase{"", Configure, 0, false}, ModeCase{"   ", Configure, 0, false},
                      ModeCase{"/s", FullScreen, 0, false}, ModeCase{"-s", FullScreen, 0, false},
                      ModeCase{"/S", FullScreen, 0, false}, ModeCase{"/screen", FullScreen, 0, false},
                      ModeCase{"/s 1234", FullScreen, 0, false}, ModeCase{"/p 1234", Preview, 1234, true},
                      ModeCase{"/L 1234", Preview, 1234, true}, ModeCase{"-l $4d2", Preview, 1234, true},
                      ModeCase{"/p", Preview, 0, true}, ModeCase{"/p junk", Preview, 0, true},
                      ModeCase{"/p 0xFFFFFFFE", Preview, -2, true}, ModeCase{"/a 99", ChangePassword, 99, false},
                      ModeCase{"/A", ChangePassword, 0, false}, ModeCase{"/c 77", Configure, 77, false},
                      ModeCase{"/c", Configure, Foreground, false}, ModeCase{"/C 0", Configure, Foreground, false},
                      ModeCase{"/c:1234", Configure, Foreground, false}, ModeCase{"/x", Configure, 0, false},
                      ModeCase{"/x 1234", Configure, 0, false}, ModeCase{"/", Configure, 0, false},
                      ModeCase{"-", Configure, 0, false},
                      ModeCase{"/\xe9", Configure, 0, false},  // only a..z are upper-cased
                      ModeCase{"s", None, 0, false}, ModeCase{"p 1234", None, 0, false},
                      ModeCase{"\\s", None, 0, false}, ModeCase{"\"/p\" \"12\"", Preview, 12, true},
                      ModeCase{"\"\"/s", FullScreen, 0, false}));

}  // namespace
}  // namespace wrigglet
