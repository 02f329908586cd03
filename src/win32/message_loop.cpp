// A message loop that never sleeps longer than the watch interval: a window destroyed by
// another process's end sends nothing, so waiting for a message could be waiting for ever.
#include "win32/message_loop.h"

namespace wrigglet {

void RunWatchedMessageLoop(const std::function<bool()>& watch) {
    DWORD lastWatch = GetTickCount();
    for (;;) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - lastWatch >= WatchIntervalMs) {
            lastWatch = GetTickCount();
            if (!watch()) return;
        }
        // Returns at once while anything waits in the queue, so a message costs one look
        // at the queue rather than a second one that finds it empty (each look is a round
        // trip to the wineserver under Wine, a good part of a tick).
        MsgWaitForMultipleObjectsEx(0, nullptr, WatchIntervalMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace wrigglet
