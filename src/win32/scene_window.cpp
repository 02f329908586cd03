// The saver window's procedure: the scene sees every message first and hands what it does
// not consume on to DefaultSaverProc.
#include "win32/scene_window.h"

#include <optional>
#include <string>

#include "core/scene_session.h"
#include "win32/gdi_scene_host.h"
#include "win32/gdi_text.h"
#include "win32/saver_window.h"
#include "win32/shell_state.h"
#include "win32/test_hooks.h"
#include "win32/wave_sound.h"

namespace wrigglet {
namespace {

// The process's one scene and the platform pieces that serve it.
struct SceneWindow {
    SceneSession Session;
    std::optional<GdiSceneHost> Host;
    std::optional<WaveSoundPlayer> Sound;
    uint64_t TicksLeft = UINT64_MAX;
    bool Readout = false;         // WRIGGLET_TEST_READOUT is set
    std::string PictureFile;      // WRIGGLET_TEST_PICTURE names it
    uintptr_t TimerMessages = 0;  // every WM_TIMER, also those of a frozen or empty scene
};

SceneWindow Scene;

void BuildScene(HWND window) {
    Scene.Host.emplace(window);
    Scene.Sound.emplace(GetModuleHandleA(nullptr));
    if (const auto seed = TestHookNumber("WRIGGLET_TEST_SEED"))
        Scene.Session.Scene.Generator.TimeOfDay = FixedTimeOfDay(*seed);
    if (const auto ticks = TestHookNumber("WRIGGLET_TEST_TICKS")) Scene.TicksLeft = *ticks;
    Scene.Readout = TestHookNumber("WRIGGLET_TEST_READOUT").has_value();
    Scene.PictureFile = TestHookText("WRIGGLET_TEST_PICTURE");
    GdiTextRasteriser text;
    OpenScene(Scene.Session, *Scene.Host, Settings, Shell.Command.IsPreview, &*Scene.Sound, &text);
}

void Tick(HWND window) {
    ++Scene.TimerMessages;
    if (Scene.Host && Scene.TicksLeft > 0) {
        --Scene.TicksLeft;
        TickScene(Scene.Session, *Scene.Host, &*Scene.Sound);
    }
    if (Scene.Readout) PublishReadout(window, Scene.TimerMessages, Scene.Host ? &*Scene.Host : nullptr);
}

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    if (Scene.Host) RepaintScene(Scene.Session, *Scene.Host, {r.left, r.top, r.right, r.bottom});
    EndPaint(window, &paint);
    if (!Scene.PictureFile.empty() && Scene.Session.Live && Scene.Session.Picture.Width > 0)
        WritePictureFile(Scene.Session.Picture, Scene.PictureFile);
}

void TearDownScene() {
    if (Scene.Host) CloseScene(Scene.Session, *Scene.Host);
}

}  // namespace

LRESULT CALLBACK SceneCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            BuildScene(window);
            break;
        case WM_TIMER:
            Tick(window);
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_DESTROY:
            TearDownScene();
            break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}

}  // namespace wrigglet
