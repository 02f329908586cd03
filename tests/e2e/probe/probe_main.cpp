// The probe's driver: reads the scenario, substitutes window handles, runs each command,
// stops at the first failure, and ends with 0 (all passed), 1 (a failure) or 2 (bad usage).
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "probe.h"

namespace probe {

Session& TheSession() {
    static Session session;
    return session;
}

std::string Format(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

void Report(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Pump(0);
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Pump(10);
    }
}

namespace {

// Splits a line into words; a double-quoted word keeps its blanks (no escapes, so
// registry paths keep their backslashes).
Args Tokenize(const std::string& line) {
    Args words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            const std::size_t end = line.find('"', i + 1);
            word = line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? line.size() : end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') word.push_back(line[i++]);
        }
        words.push_back(word);
    }
    return words;
}

// {NAME} becomes the decimal handle of window NAME, {NAME:x} its low 32 bits in hex,
// {pid:PROC} the process id of PROC, {desktop} the desktop window's handle, {env:VAR}
// the environment variable VAR (what run-scenario.sh passes on, such as the version of
// the installer under test).
std::string Substitute(const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::size_t end = line[i] == '{' ? line.find('}', i) : std::string::npos;
        if (end == std::string::npos) {
            out.push_back(line[i]);
            continue;
        }
        const std::string key = line.substr(i + 1, end - i - 1);
        if (key == "desktop") {
            out += std::to_string(reinterpret_cast<INT_PTR>(GetDesktopWindow()));
        } else if (key.rfind("pid:", 0) == 0) {
            out += std::to_string(ProcessNamed(key.substr(4)).info.dwProcessId);
        } else if (key.rfind("env:", 0) == 0) {
            const char* value = std::getenv(key.substr(4).c_str());
            Require(value != nullptr, "no environment variable " + key.substr(4));
            out += value;
        } else if (key.size() > 2 && key.substr(key.size() - 2) == ":x") {
            out += Format(
                "%x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(WindowNamed(key.substr(0, key.size() - 2)))));
        } else {
            out += std::to_string(reinterpret_cast<INT_PTR>(WindowNamed(key)));
        }
        i = end;
    }
    return out;
}

// Launched savers must not outlive a failed scenario.
void EndLeftoverProcesses() {
    for (auto& [name, process] : TheSession().processes) {
        if (WaitForSingleObject(process.info.hProcess, 0) == WAIT_TIMEOUT) {
            Report("cleanup: ending '" + name + "', still running");
            TerminateProcess(process.info.hProcess, 99);
        }
    }
}

// A topmost black window over the screen and nothing else: the least a saver could do.
int RunBareWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "WriggletProbeBare";
    RegisterClassA(&windowClass);
    CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, nullptr, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                    windowClass.hInstance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

int RunScript(std::istream& script) {
    std::string line;
    int number = 0, commands = 0;
    while (std::getline(script, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const Args raw = Tokenize(line);
        if (raw.empty() || raw[0][0] == '#') continue;
        try {
            const std::string text = Substitute(line);
            Args words = Tokenize(text);
            const auto command = Commands().find(words[0]);
            if (command == Commands().end()) throw Failure("unknown command '" + words[0] + "'");
            Report(Format("[%d] %s", number, text.c_str()));
            TheSession().currentLine = text;
            command->second(Args(words.begin() + 1, words.end()));
            ++commands;
        } catch (const Failure& failure) {
            Report(Format("FAIL line %d: %s\n      %s", number, line.c_str(), failure.what()));
            EndLeftoverProcesses();
            return 1;
        }
    }
    EndLeftoverProcesses();
    Report(Format("PASS: %d commands", commands));
    return 0;
}

}  // namespace
}  // namespace probe

int main(int argc, char** argv) {
    using namespace probe;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--saver" && i + 1 < argc) {
            TheSession().saverPath = argv[++i];
        } else if (arg == "--bare") {
            return RunBareWindow();
        } else if (arg == "--host") {
            // A stand-in host program (launch-host): one window, until it is ended.
            RegisterProbeWindowClass();
            std::istringstream host("make-window Host 100 100 320 240\nsleep 600000\n");
            return RunScript(host);
        } else {
            scriptPath = arg;
        }
    }
    if (scriptPath.empty()) {
        std::fprintf(stderr, "usage: probe [--saver PATH] SCRIPT   (SCRIPT '-' reads stdin)\n");
        return 2;
    }
    RegisterProbeWindowClass();
    if (scriptPath == "-") return RunScript(std::cin);
    std::ifstream file(scriptPath);
    if (!file) {
        std::fprintf(stderr, "probe: cannot read %s\n", scriptPath.c_str());
        return 2;
    }
    return RunScript(file);
}
