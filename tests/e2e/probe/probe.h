// The end-to-end probe: a small Win32 program that runs a scenario script against the
// saver under Wine, one command per line, and reports each step as text.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace probe {

// A failed expectation or a malformed command; the message says which.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Process {
    PROCESS_INFORMATION info{};
    std::string commandLine;
};

// Everything a script has made or found, by the names the script gave it.
struct Session {
    std::string saverPath = "wrigglet2004.scr";
    std::string currentLine;  // the command being run, after substitution
    std::map<std::string, HWND> windows;
    std::map<std::string, Process> processes;
    std::map<DWORD, std::vector<std::string>> createdByProcess;  // window classes, by process id
};

Session& TheSession();

// Keeps the probe's own windows answering while it waits (a preview child in another
// process sends its parent messages synchronously).
void Pump(DWORD milliseconds);

// Polls `condition` every few milliseconds, pumping messages, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

using Args = std::vector<std::string>;
using Command = std::function<void(const Args&)>;

// The command table, by name.
const std::map<std::string, Command>& Commands();

// Helpers shared by the commands.
long long ToNumber(const std::string& text);
HWND WindowNamed(const std::string& name);
Process& ProcessNamed(const std::string& name);
// Starts a process named `name`; an empty application takes the program from the line.
void Start(const std::string& name, const std::string& application, const std::string& commandLine);
std::string Format(const char* format, ...);
void Report(const std::string& text);

// Input messages the probe's own windows have received, by window and message.
std::map<HWND, std::map<UINT, int>>& ReceivedInput();
void RegisterProbeWindowClass();

}  // namespace probe

namespace probe {

using CommandTable = std::map<std::string, Command>;
void AddProcessCommands(CommandTable& table);
void AddWindowCommands(CommandTable& table);
void AddInputCommands(CommandTable& table);
void AddSystemCommands(CommandTable& table);
void AddDialogCommands(CommandTable& table);
void AddPixelCommands(CommandTable& table);

// Names the scripts may use for numbers: styles, messages, virtual keys.
unsigned long StyleBit(const std::string& name);
UINT MessageNumber(const std::string& name);
WORD VirtualKey(const std::string& name);

void Require(bool condition, const std::string& whyNot);
void RequireArgs(const Args& args, std::size_t minimum, const char* usage);
DWORD TimeoutArg(const Args& args, std::size_t index);

}  // namespace probe
