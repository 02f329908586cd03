// Test double of the sound library (WINMM.DLL), planted beside the saver to show it is never
// loaded from there: it records its loading and each PlaySoundA call, and plays nothing.
// The platform headers declare PlaySoundA as an import; this file defines it.
#define WIN32_LEAN_AND_MEAN
#include "double_log.h"

namespace {
doubles::DoubleLog Log;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    doubles::LogAttachment(Log, module, reason, reserved, "winmm.log");
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI PlaySoundA(LPCSTR, HMODULE, DWORD flags) {
    char line[64];
    std::snprintf(line, sizeof line, "PlaySoundA flags=0x%lX", flags);
    Log.Write(line);
    return TRUE;
}
