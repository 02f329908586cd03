// The saver window's procedure: the scene sees every message first and hands what it does
// not consume on to DefaultSaverProc.
#include "win32/scene_window.h"

#include <algorithm>
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
    GdiTextRasteriser Text;  // used by the set-up, at the first tick
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
    Scene.Host->TimerStartsToFail = TestHookNumber("WRIGGLET_TEST_TIMER_FAILURES").value_or(0);
    // The set-up waits for the first tick, so the window shows its picture at once.
    OpenScene(Scene.Session, *Scene.Host, Settings, Shell.Command.IsPreview, &*Scene.Sound, &Scene.Text, true);
}

void Tick(HWND window) {
    ++Scene.TimerMessages;
    if (Scene.Host && Scene.TicksLeft > 0) {
        --Scene.TicksLeft;
        TickScene(Scene.Session, *Scene.Host, &*Scene.Sound);
    }
    if (Scene.Readout) PublishReadout(window, Scene.TimerMessages, Scene.Host ? &*Scene.Host : nullptr);
}

// The window beyond the picture (a preview larger than the screen) is black.
void BlackOutsidePicture(HDC dc, const RECT& update) {
    const int32_t width = Scene.Session.Picture.Width, height = Scene.Session.Picture.Height;
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT right{std::max<LONG>(update.left, width), update.top, update.right, update.bottom};
    const RECT below{update.left, std::max<LONG>(update.top, height), std::min<LONG>(update.right, width), update.bottom};
    for (const RECT& r : {right, below})
        if (r.left < r.right && r.top < r.bottom) FillRect(dc, &r, black);
}

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    if (Scene.Host) RepaintScene(Scene.Session, *Scene.Host, {r.left, r.top, r.right, r.bottom});
    if (dc) BlackOutsidePicture(dc, r);
    EndPaint(window, &paint);
    if (!Scene.PictureFile.empty() && Scene.Session.Live && Scene.Session.Picture.Width > 0)
        WritePictureFile(Scene.Session.Picture, Scene.PictureFile);
}

void TearDownScene() {
    if (Scene.Host) CloseScene(Scene.Session, *Scene.Host);
}

// The scene's share of a message; true when it consumed it.
bool SceneMessage(HWND window, UINT message) {
    switch (message) {
        case WM_CREATE:
            BuildScene(window);
            return false;
        case WM_TIMER:
            Tick(window);
            return true;
        case WM_PAINT:
            Paint(window);
            return true;
        case WM_DESTROY:
            TearDownScene();
            return false;
    }
    return false;
}

}  // namespace

LRESULT CALLBACK SceneCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through the platform's frames. A scene that failed stays as
    // far as it got (at worst the black window), and input still ends the saver.
    bool consumed = false;
    try {
        consumed = SceneMessage(window, message);
    } catch (...) {
    }
    if (consumed) return 0;
    try {
        return DefaultSaverProc(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void KeepSceneTimer() {
    if (Scene.Host && Scene.Session.Live) Scene.Host->KeepTimer();
}

}  // namespace wrigglet
