// The program entry: the program's table with the entry's own two rows, and what each
// outcome prints.
#include "posix/program_entry.h"

#include <iostream>

namespace wrigglet::posix {

namespace {

// The program's rows, then -help (-h) and -version, bound to the answer.
OptionTable EntryTable(const ProgramCommandLine& commandLine, CommandLineAnswer& answer) {
    OptionTable table = commandLine.Table;
    ProgramOption help = FlagOption("help", answer.Help, "print this help");
    help.Short = 'h';
    table.push_back(std::move(help));
    table.push_back(FlagOption("version", answer.Version, "print the program's name and version"));
    return table;
}

}  // namespace

CommandLineAnswer ParseCommandLine(const ProgramCommandLine& commandLine, const std::vector<std::string>& arguments) {
    CommandLineAnswer answer;
    answer.Error = ParseProgramOptions(EntryTable(commandLine, answer), commandLine.Syntax, arguments);
    if (answer.Error.empty() && commandLine.Check) answer.Error = commandLine.Check();
    return answer;
}

std::string ProgramHelp(const ProgramCommandLine& commandLine) {
    CommandLineAnswer unused;
    const OptionTable table = EntryTable(commandLine, unused);
    return ProgramUsage(table, commandLine.Syntax, 100) + "\n" + commandLine.About +
           OptionHelp(table, commandLine.Syntax) + commandLine.Closing;
}

std::optional<int> EnterProgram(const ProgramCommandLine& commandLine, const std::vector<std::string>& arguments,
                                std::ostream& out, std::ostream& errors) {
    const CommandLineAnswer answer = ParseCommandLine(commandLine, arguments);
    const std::string& program = commandLine.Syntax.Program;
    if (!answer.Error.empty()) {
        CommandLineAnswer unused;
        errors << program << ": " << answer.Error << "; "
               << ProgramUsage(EntryTable(commandLine, unused), commandLine.Syntax) << "\n";
        return ExitBadCommandLine;
    }
    if (answer.Help) out << ProgramHelp(commandLine);
    if (answer.Version && !answer.Help) out << program << " " << WRIGGLET_VERSION << "\n";
    if (answer.Help || answer.Version) return ExitSuccess;
    return std::nullopt;
}

std::optional<int> EnterProgram(const ProgramCommandLine& commandLine, int argc, char** argv) {
    return EnterProgram(commandLine, std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

int Fail(std::ostream& errors, const std::string& program, const std::string& line) {
    errors << program << ": " << line << "\n";
    return ExitFailure;
}

}  // namespace wrigglet::posix
