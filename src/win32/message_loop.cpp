// A message loop that never sleeps longer than the watch interval: a window destroyed by
// another process's end sends nothing, so waiting for a message could be waiting for ever.
#include "win32/message_loop.h"

namespace wrigglet {

void RunWatchedMessageLoop(const std::function<bool()>& watch) {
    DWORD lastWatch = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - lastWatch >= WatchIntervalMs) {
            lastWatch = GetTickCount();
            if (!watch()) return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, WatchIntervalMs, QS_ALLINPUT);
    }
}

}  // namespace wrigglet
