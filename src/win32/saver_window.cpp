// The saver window's default message handling.
#include "win32/saver_window.h"

#include <cstdint>

#include "saver/mouse_message.h"
#include "win32/password.h"

namespace wrigglet {

void RestartMouseWatch(SaverWindow& saver) {
    POINT cursor{};
    GetCursorPos(&cursor);
    RecordMouseOrigin(saver.Mouse, {cursor.x, cursor.y});
}

namespace {

void AskToClose(SaverWindow& saver) { TryCloseSaverWindow(saver.Handle, saver.IsNTPlatform, saver.Mouse); }

}  // namespace

LRESULT DefaultSaverProc(SaverWindow& saver, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            RestartMouseWatch(saver);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:  // consumed, so no system menu or close command runs
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            AskToClose(saver);
            return 0;
        case WM_MOUSEMOVE: {
            // The move comes in client coordinates, the origin in screen ones.
            POINT origin{0, 0};
            ClientToScreen(window, &origin);
            if (MouseMoveAsksToClose(saver.Mouse,
                                     MouseMessagePoint(static_cast<std::uint32_t>(lParam), {origin.x, origin.y})))
                AskToClose(saver);
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace wrigglet
