// The preview and full-screen duties and their message loops.
#include "win32/saver_duty.h"

#include <memory>

#include "win32/message_loop.h"
#include "win32/win32_loop.h"

namespace wrigglet {
namespace {

std::unique_ptr<LoopState> MakeLoopState(const SaverCommand& command, const SaverSettings& settings,
                                         bool isNTPlatform) {
    auto state = std::make_unique<LoopState>();
    state->Saver.Command = command;
    state->Saver.Settings = settings;
    state->Saver.IsNTPlatform = isNTPlatform;
    return state;
}

void RunMessageLoop(HWND parent, LoopState& state) {
    RunWatchedMessageLoop([parent, &state] {
        KeepSceneTimer(state);
        // A host that ends without destroying its window sends the preview nothing; without
        // this the preview would hold the single-instance mutex for ever.
        return !parent || IsWindow(parent);
    });
}

}  // namespace

void RunPreview(const SaverCommand& command, const SaverSettings& settings, bool isNTPlatform) {
    const auto state = MakeLoopState(command, settings, isNTPlatform);
    HWND parent = AsHwnd(command.ParentWindow);
    HWND window = CreateSceneWindow(*state, parent);
    if (!window) return;
    RunMessageLoop(parent, *state);
    if (IsWindow(window)) DestroyWindow(window);
}

void RunFullScreen(const SaverCommand& command, const SaverSettings& settings, bool isNTPlatform) {
    HWND previousForeground = GetForegroundWindow();
    const auto state = MakeLoopState(command, settings, isNTPlatform);
    if (!CreateSceneWindow(*state, nullptr)) return;
    UINT wasRunning = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &wasRunning, 0);
    RunMessageLoop(nullptr, *state);
    // Always switched off, whatever the previous state was.
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &wasRunning, 0);
    ShowCursor(TRUE);
    SetForegroundWindow(previousForeground);
}

}  // namespace wrigglet
