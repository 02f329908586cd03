// Shared by the test doubles: each appends lines to a log file beside its own DLL, where
// the end-to-end scenario reads them.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace doubles {

class DoubleLog {
public:
    void Open(HINSTANCE module, const char* fileName) {
        GetModuleFileNameA(module, path_, MAX_PATH);
        char* slash = std::strrchr(path_, '\\');
        std::strcpy(slash ? slash + 1 : path_, fileName);
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
    char path_[MAX_PATH + 32] = {};
};

// DllMain's record: "load" when loaded, "free" when FreeLibrary unloads it, "exit" when
// the process ends with the library still loaded.
inline void LogAttachment(DoubleLog& log, HINSTANCE module, DWORD reason, LPVOID reserved,
                          const char* fileName) {
    if (reason == DLL_PROCESS_ATTACH) {
        log.Open(module, fileName);
        log.Write("load");
    } else if (reason == DLL_PROCESS_DETACH) {
        log.Write(reserved ? "exit" : "free");
    }
}

}  // namespace doubles
