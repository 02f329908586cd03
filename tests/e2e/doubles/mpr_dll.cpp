// Test double of the platform's password-change entry point (MPR.DLL): records each call's
// arguments to mpr.log (see double_log.h) and changes nothing.
#include "double_log.h"

namespace {
doubles::DoubleLog Log;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    doubles::LogAttachment(Log, module, reason, reserved, "mpr.log");
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2) {
    char line[256];
    std::snprintf(line, sizeof line, "PwdChangePasswordA provider=%s owner=%lld %lu %lu",
                  provider ? provider : "(null)", static_cast<long long>(reinterpret_cast<INT_PTR>(owner)), reserved1,
                  reserved2);
    Log.Write(line);
    return 0;
}
