// The Linux programs' entry: what each kind of command line prints and the status it ends with.
#include "posix/program_entry.h"

#include <gtest/gtest.h>

#include <sstream>

namespace wrigglet::posix {
namespace {

struct DemoOptions {
    int32_t Speed = 2;
    bool Quiet = false;
};

ProgramCommandLine DemoCommandLine(DemoOptions& o) {
    return {.Syntax = {.Program = "demo", .SingleDash = true, .DoubleDash = true},
            .Table = {NumberOption("speed", "1..3", o.Speed, {.Lowest = 1, .Highest = 3}, "how fast"),
                      FlagOption("quiet", o.Quiet, "say less")},
            .About = "A demo.\n",
            .Closing = "The end.\n",
            .Check = [&o] { return o.Quiet && o.Speed == 3 ? std::string("-quiet wants speed 1 or 2") : ""; }};
}

struct EntryCase {
    std::vector<std::string> arguments;
    std::optional<int> status;  // none: the program runs
    std::string out;            // its first line
    std::string errors;
};

void PrintTo(const EntryCase& c, std::ostream* out) {
    for (const std::string& argument : c.arguments) *out << argument << " ";
}

class ProgramEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ProgramEntry, PrintsAndEndsSo) {
    DemoOptions options;
    std::ostringstream out, errors;
    EXPECT_EQ(EnterProgram(DemoCommandLine(options), GetParam().arguments, out, errors), GetParam().status);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), GetParam().out);
    EXPECT_EQ(errors.str(), GetParam().errors);
}

const std::string Usage = "usage: demo [-speed 1..3] [-quiet] [-help] [-version]";

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramEntry,
    ::testing::Values(
        EntryCase{{}, std::nullopt, "", ""}, EntryCase{{"-speed", "3"}, std::nullopt, "", ""},
        EntryCase{{"-speed", "4"}, 2, "", "demo: -speed wants a whole number 1..3, not '4'; " + Usage + "\n"},
        EntryCase{{"-speed", "3", "-quiet"}, 2, "", "demo: -quiet wants speed 1 or 2; " + Usage + "\n"},
        EntryCase{{"-loud"}, 2, "", "demo: unknown argument '-loud'; " + Usage + "\n"},
        EntryCase{{"-help"}, 0, Usage, ""}, EntryCase{{"-h", "-version"}, 0, Usage, ""},
        EntryCase{{"-version"}, 0, "demo " WRIGGLET_VERSION, ""},
        EntryCase{{"--version"}, 0, "demo " WRIGGLET_VERSION, ""},
        EntryCase{
            {"-version", "-speed", "9"}, 2, "", "demo: -speed wants a whole number 1..3, not '9'; " + Usage + "\n"}));

TEST(ProgramHelp, HoldsTheAboutLinesEveryOptionAndTheClosing) {
    DemoOptions options;
    const std::string help = ProgramHelp(DemoCommandLine(options));
    for (const char* part : {"\nA demo.\n", "  -speed 1..3", "  -help, -h", "  -version", "\nThe end.\n"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace wrigglet::posix
