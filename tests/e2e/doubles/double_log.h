// Shared by the test doubles: each appends lines to a log file in the loading process's
// current directory (the scenario's app/ folder), where the end-to-end scenario reads
// them. A double loaded from anywhere but the system folder writes "planted-" before the
// log's name: the saver must never load such a copy.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace doubles {

class DoubleLog {
public:
    void Open(HINSTANCE module, const char* fileName) {
        char self[MAX_PATH] = {}, system[MAX_PATH] = {};
        GetModuleFileNameA(module, self, MAX_PATH);
        char* slash = std::strrchr(self, '\\');
        if (slash) *slash = '\0';
        GetSystemDirectoryA(system, MAX_PATH);
        const bool planted = lstrcmpiA(self, system) != 0;
        GetCurrentDirectoryA(MAX_PATH, path_);
        std::strcat(path_, planted ? "\\planted-" : "\\");
        std::strcat(path_, fileName);
    }
    void Write(const char* line) const {
        if (std::FILE* file = std::fopen(path_, "a")) {
            std::fprintf(file, "%s\n", line);
            std::fclose(file);
        }
    }
    // A file beside the log, for the scenario to steer the double.
    bool ReadSibling(const char* fileName, char* text, int size) const {
        char sibling[MAX_PATH];
        std::strcpy(sibling, path_);
        char* slash = std::strrchr(sibling, '\\');
        std::strcpy(slash ? slash + 1 : sibling, fileName);
        std::FILE* file = std::fopen(sibling, "r");
        if (!file) return false;
        const bool ok = std::fgets(text, size, file) != nullptr;
        std::fclose(file);
        return ok;
    }

private:
    char path_[MAX_PATH + 48] = {};
};

// DllMain's record: "load" when loaded, "free" when FreeLibrary unloads it, "exit" when
// the process ends with the library still loaded.
inline void LogAttachment(DoubleLog& log, HINSTANCE module, DWORD reason, LPVOID reserved, const char* fileName) {
    if (reason == DLL_PROCESS_ATTACH) {
        log.Open(module, fileName);
        log.Write("load");
    } else if (reason == DLL_PROCESS_DETACH) {
        log.Write(reserved ? "exit" : "free");
    }
}

}  // namespace doubles
