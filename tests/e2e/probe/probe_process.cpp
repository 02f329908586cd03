// Probe commands about processes: starting the saver, its exit code, and what it showed.
#include "probe.h"

namespace probe {

Process& ProcessNamed(const std::string& name) {
    auto found = TheSession().processes.find(name);
    if (found == TheSession().processes.end()) throw Failure("no process named '" + name + "'");
    return found->second;
}

void Start(const std::string& name, const std::string& application, const std::string& commandLine) {
    Require(!TheSession().processes.count(name), "process name '" + name + "' is taken");
    Process process;
    process.commandLine = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string writable = commandLine;
    const char* program = application.empty() ? nullptr : application.c_str();
    const BOOL ok =
        CreateProcessA(program, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process.info);
    Require(ok, Format("CreateProcess failed with error %lu", GetLastError()));
    Report(Format("    started '%s', pid %lu", name.c_str(), process.info.dwProcessId));
    TheSession().processes[name] = process;
}

namespace {

std::string Rest(const Args& args, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < args.size(); ++i) text += (i > from ? " " : "") + args[i];
    return text;
}

// launch PROC [ARGS...]: the saver, with the arguments as written after the program path.
void Launch(const Args& args) {
    RequireArgs(args, 1, "launch PROC [ARGS...]");
    const std::string& saver = TheSession().saverPath;
    const std::string arguments = Rest(args, 1);
    Start(args[0], saver, "\"" + saver + "\"" + (arguments.empty() ? "" : " " + arguments));
}

// launch-line PROC TEXT...: the saver with the rest of the line, verbatim (quotes and
// blanks included), as its whole command line.
void LaunchLine(const Args& args) {
    RequireArgs(args, 2, "launch-line PROC COMMAND LINE...");
    const std::string& line = TheSession().currentLine;
    std::size_t at = line.find(args[0], line.find("launch-line") + 11) + args[0].size();
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    Start(args[0], TheSession().saverPath, line.substr(at));
}

// launch-host PROC [bare]: a second probe as a host program of its own, with one
// top-level window (class WriggletProbeWindow) and nothing else, so its end can be tested;
// with `bare`, a topmost black window over the whole screen instead, the yardstick of the
// saver's start-up in scripts/bench-wine.sh.
void LaunchHost(const Args& args) {
    RequireArgs(args, 1, "launch-host PROC [bare]");
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const bool bare = args.size() > 1 && args[1] == "bare";
    Start(args[0], self, std::string("\"") + self + "\" " + (bare ? "--bare" : "--host"));
}

// terminate PROC: ends PROC at once, as a crash would, without destroying its windows.
void Terminate(const Args& args) {
    RequireArgs(args, 1, "terminate PROC");
    Process& process = ProcessNamed(args[0]);
    TerminateProcess(process.info.hProcess, 1);
    Require(WaitForSingleObject(process.info.hProcess, 15000) == WAIT_OBJECT_0, "the process does not end");
}

// suspend PROC: stops every thread of PROC, as a hung program: its windows stay, and
// nothing sent to them is answered.
void Suspend(const Args& args) {
    RequireArgs(args, 1, "suspend PROC");
    using SuspendProcess = LONG(NTAPI*)(HANDLE);
    const auto suspend = reinterpret_cast<SuspendProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSuspendProcess")));
    Require(suspend && suspend(ProcessNamed(args[0]).info.hProcess) == 0, "NtSuspendProcess failed");
}

// expect-exit PROC CODE [TIMEOUT_MS]
void ExpectExit(const Args& args) {
    RequireArgs(args, 2, "expect-exit PROC CODE [TIMEOUT_MS]");
    Process& process = ProcessNamed(args[0]);
    const bool ended =
        WaitUntil([&] { return WaitForSingleObject(process.info.hProcess, 0) == WAIT_OBJECT_0; }, TimeoutArg(args, 2));
    Require(ended, "the process is still running");
    DWORD code = 0;
    GetExitCodeProcess(process.info.hProcess, &code);
    Require(code == static_cast<DWORD>(ToNumber(args[1])), Format("exit code %lu", code));
}

// expect-running PROC
void ExpectRunning(const Args& args) {
    RequireArgs(args, 1, "expect-running PROC");
    Pump(0);
    DWORD code = 0;
    GetExitCodeProcess(ProcessNamed(args[0]).info.hProcess, &code);
    Require(code == STILL_ACTIVE, Format("the process has ended with code %lu", code));
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void CALLBACK OnCreate(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object != OBJID_WINDOW || !window) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    TheSession().createdByProcess[pid].push_back(ClassOf(window));
}

// watch-windows: from now on, records the class of every window any process creates
// (out-of-context creation events, which reach the probe as messages).
void WatchWindows(const Args&) {
    static HWINEVENTHOOK hook = nullptr;
    if (!hook) {
        hook =
            SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnCreate, 0, 0, WINEVENT_OUTOFCONTEXT);
    }
    Require(hook != nullptr, "SetWinEventHook failed");
}

// expect-created PROC CLASS COUNT: since watch-windows, PROC has created COUNT windows of
// CLASS ("*" counts every class but the platform's own hidden helper windows).
void ExpectCreated(const Args& args) {
    RequireArgs(args, 3, "expect-created PROC CLASS COUNT");
    Pump(0);
    std::size_t count = 0;
    std::string seen;
    for (const std::string& name : TheSession().createdByProcess[ProcessNamed(args[0]).info.dwProcessId]) {
        seen += " '" + name + "'";
        const bool hiddenHelper = name == "IME" || name == "OleMainThreadWndClass";
        if (args[1] == "*" ? !hiddenHelper : name == args[1]) ++count;
    }
    Require(count == static_cast<std::size_t>(ToNumber(args[2])), Format("%zu such windows; created:", count) + seen);
}

// run PROC PROGRAM [ARGS...]: any program (an installer, an installed saver), its path
// relative to app/ or absolute, with the arguments as written after its quoted path.
void Run(const Args& args) {
    RequireArgs(args, 2, "run PROC PROGRAM [ARGS...]");
    const std::string arguments = Rest(args, 2);
    Start(args[0], args[1], "\"" + args[1] + "\"" + (arguments.empty() ? "" : " " + arguments));
}

}  // namespace

void AddProcessCommands(CommandTable& table) {
    table["launch"] = Launch;
    table["launch-line"] = LaunchLine;
    table["launch-host"] = LaunchHost;
    table["terminate"] = Terminate;
    table["suspend"] = Suspend;
    table["expect-exit"] = ExpectExit;
    table["expect-running"] = ExpectRunning;
    table["watch-windows"] = WatchWindows;
    table["expect-created"] = ExpectCreated;
    table["run"] = Run;
}

}  // namespace probe
