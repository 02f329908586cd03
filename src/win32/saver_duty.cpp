// The preview and full-screen duties and their message loops.
#include "win32/saver_duty.h"

#include <memory>

#include "win32/message_loop.h"
#include "win32/scene_window.h"

namespace wrigglet {
namespace {

std::unique_ptr<SceneWindow> MakeSceneWindow(const SaverCommand& command, const SaverSettings& settings,
                                             bool isNTPlatform) {
    auto scene = std::make_unique<SceneWindow>();
    scene->Saver.Command = command;
    scene->Saver.Settings = settings;
    scene->Saver.IsNTPlatform = isNTPlatform;
    return scene;
}

void RunMessageLoop(HWND parent, SceneWindow& scene) {
    RunWatchedMessageLoop([parent, &scene] {
        KeepSceneTimer(scene);
        // A host that ends without destroying its window sends the preview nothing; without
        // this the preview would hold the single-instance mutex for ever.
        return !parent || IsWindow(parent);
    });
}

}  // namespace

void RunPreview(const SaverCommand& command, const SaverSettings& settings, bool isNTPlatform) {
    const auto scene = MakeSceneWindow(command, settings, isNTPlatform);
    HWND parent = AsHwnd(command.ParentWindow);
    HWND window = CreateSceneWindow(*scene, parent);
    if (!window) return;
    RunMessageLoop(parent, *scene);
    if (IsWindow(window)) DestroyWindow(window);
}

void RunFullScreen(const SaverCommand& command, const SaverSettings& settings, bool isNTPlatform) {
    HWND previousForeground = GetForegroundWindow();
    const auto scene = MakeSceneWindow(command, settings, isNTPlatform);
    if (!CreateSceneWindow(*scene, nullptr)) return;
    UINT wasRunning = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &wasRunning, 0);
    RunMessageLoop(nullptr, *scene);
    // Always switched off, whatever the previous state was.
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &wasRunning, 0);
    ShowCursor(TRUE);
    SetForegroundWindow(previousForeground);
}

}  // namespace wrigglet
