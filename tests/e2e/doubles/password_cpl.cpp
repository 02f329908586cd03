// Test double of the platform's screen-saver password verifier (PASSWORD.CPL). It asks
// nobody: the answer is the first character of verify-answer.txt beside its log ('1' lets the
// user back, anything else or no file refuses), and every call is logged to password.log
// with the parent window, the cursor's show count during the prompt, and the platform's
// screen-saver-running flag as the calling process sees it.
#include "double_log.h"

namespace {
doubles::DoubleLog Log;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    doubles::LogAttachment(Log, module, reason, reserved, "password.log");
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND parent) {
    char answer[16] = {};
    const bool accept = Log.ReadSibling("verify-answer.txt", answer, sizeof answer) && answer[0] == '1';
    ShowCursor(FALSE);
    const int showCount = ShowCursor(TRUE);  // the count as the caller left it
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    char line[160];
    std::snprintf(line, sizeof line, "verify parent=%lld cursor=%d answer=%d running=%d",
                  static_cast<long long>(reinterpret_cast<INT_PTR>(parent)), showCount, accept ? 1 : 0,
                  running ? 1 : 0);
    Log.Write(line);
    return accept ? TRUE : FALSE;
}
