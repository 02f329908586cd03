// The Linux programs' entry: the command line read against the program's option table, the
// one usage line for a bad one, -help, --version, and the exit statuses they all use.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/program_options.h"

namespace wrigglet::posix {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;         // after one line saying why
inline constexpr int ExitBadCommandLine = 2;  // after the reason and the usage line

// A program's command line: its options, bound to the fields they set, how it spells them,
// and the help's own words. The entry adds -help (-h) and -version.
struct ProgramCommandLine {
    OptionSyntax Syntax;  // Syntax.Program names the program in every line it prints
    OptionTable Table;
    std::string About{};    // the help's lines between the usage and the options
    std::string Closing{};  // the help's lines after the options
    // After a good parse: the one-line reason the options don't go together, or empty.
    std::function<std::string()> Check{};
};

// What a command line asks for.
struct CommandLineAnswer {
    std::string Error;  // the one-line reason it is refused; empty when it is good
    bool Help = false;
    bool Version = false;
};

// Applies the arguments (argv without the program's name) to the table's fields.
CommandLineAnswer ParseCommandLine(const ProgramCommandLine& commandLine, const std::vector<std::string>& arguments);

// The usage, the about lines, every option (-help and -version among them), the closing lines.
std::string ProgramHelp(const ProgramCommandLine& commandLine);

// Reads the arguments into the table's fields. Nothing when the program is to run; else the
// status to exit with now, having printed the help or "PROGRAM VERSION" to `out` (status 0),
// or "PROGRAM: REASON; usage: ..." to `errors` (status 2).
std::optional<int> EnterProgram(const ProgramCommandLine& commandLine, const std::vector<std::string>& arguments,
                                std::ostream& out, std::ostream& errors);

// The same for a program's main(): its arguments after the program's name, the answers on the
// standard streams.
std::optional<int> EnterProgram(const ProgramCommandLine& commandLine, int argc, char** argv);

// Says what went wrong in one line, "PROGRAM: LINE", and answers ExitFailure.
int Fail(std::ostream& errors, const std::string& program, const std::string& line);

}  // namespace wrigglet::posix
