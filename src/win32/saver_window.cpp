// The saver window: class, creation, default message handling and the message loops.
#include "win32/saver_window.h"

#include <cstdint>

#include "win32/message_loop.h"
#include "win32/password.h"
#include "win32/scene_window.h"
#include "win32/shell_state.h"

namespace wrigglet {
namespace {

void RegisterSaverClass(const char* className, WNDPROC procedure, HBRUSH background) {
    // No CS_DBLCLKS, so a double click arrives as two presses; no class cursor, so
    // nothing but DefaultSaverProc decides the pointer's look over the window.
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_SAVEBITS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // a failure shows in the creation that follows
}

HWND CreatePreviewForm(HWND parent, const char* className, void* creationData) {
    // A handle that isn't a window (the message-only parent among them) would give an
    // invisible saver that nothing can end, and the desktop window a screen-covering one
    // that no input reaches; either counts as a failed creation.
    if (!IsWindow(parent) || parent == GetDesktopWindow()) return nullptr;
    RECT frame{};
    GetWindowRect(parent, &frame);
    return CreateWindowExA(0, className, nullptr, WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, frame.right - frame.left,
                           frame.bottom - frame.top, parent, nullptr, GetModuleHandleA(nullptr), creationData);
}

HWND CreateFullScreenForm(const char* className, void* creationData) {
    // Several monitors: a plain popup over the whole virtual screen, which may start left
    // of or above the primary; maximizing would snap it to one monitor.
    if (GetSystemMetrics(SM_CMONITORS) > 1) {
        return CreateWindowExA(WS_EX_TOPMOST, className, nullptr, WS_POPUP | WS_VISIBLE,
                               GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                               GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                               nullptr, GetModuleHandleA(nullptr), creationData);
    }
    // The maximized state alone makes the window cover the screen; giving it the screen's
    // size as well changes nothing on Windows, and Wine shows a window maximized from
    // 0 by 0 nowhere.
    return CreateWindowExA(WS_EX_TOPMOST, className, nullptr, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           GetModuleHandleA(nullptr), creationData);
}

void RunMessageLoop(HWND parent, SceneWindow& scenes) {
    RunWatchedMessageLoop([parent, &scenes] {
        KeepSceneTimer(scenes);
        // A host that ends without destroying its window sends the preview nothing; without
        // this the preview would hold the single-instance mutex for ever.
        return !parent || IsWindow(parent);
    });
}

}  // namespace

void RecordMouseOriginNow() {
    POINT cursor{};
    GetCursorPos(&cursor);
    RecordMouseOrigin(Shell.Mouse, {cursor.x, cursor.y});
}

HWND CreateSaverWindow(HWND parent, const char* className, WNDPROC procedure, HBRUSH background, void* creationData) {
    RegisterSaverClass(className, procedure, background);
    HWND window =
        parent ? CreatePreviewForm(parent, className, creationData) : CreateFullScreenForm(className, creationData);
    if (!window) ExitProcess(0);
    return window;
}

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            RecordMouseOriginNow();
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
            TryCloseSaver();
            return 0;
        case WM_MOUSEMOVE: {
            // The move comes in client coordinates, the origin in screen ones.
            POINT origin{0, 0};
            ClientToScreen(window, &origin);
            if (MouseMoveAsksToClose(Shell.Mouse, static_cast<std::uint32_t>(lParam), {origin.x, origin.y}))
                TryCloseSaver();
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void RunPreview() {
    SceneWindow scenes;
    HWND parent = AsHwnd(Shell.Command.ParentWindow);
    Shell.SaverWindow = CreateSaverWindow(parent, SaverClassName, SceneCallback, nullptr, &scenes);
    RunMessageLoop(parent, scenes);
    if (IsWindow(Shell.SaverWindow)) DestroyWindow(Shell.SaverWindow);
}

void RunFullScreen() {
    HWND previousForeground = GetForegroundWindow();
    SceneWindow scenes;
    Shell.SaverWindow = CreateSaverWindow(nullptr, SaverClassName, SceneCallback,
                                          static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), &scenes);
    UINT wasRunning = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &wasRunning, 0);
    RunMessageLoop(nullptr, scenes);
    // Always switched off, whatever the previous state was.
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &wasRunning, 0);
    ShowCursor(TRUE);
    SetForegroundWindow(previousForeground);
}

}  // namespace wrigglet
