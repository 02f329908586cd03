// The saver window's procedure: the scene sees every message first and hands what it does
// not consume on to DefaultSaverProc.
#include "win32/scene_window.h"

#include <algorithm>

#include "win32/saver_window.h"
#include "win32/shell_state.h"
#include "win32/stopwatch.h"
#include "win32/test_hooks.h"

namespace wrigglet {
namespace {

// The window keeps its SceneWindow in its user data from WM_NCCREATE on; messages that come
// before it (WM_GETMINMAXINFO) find none.
SceneWindow* ScenesOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* scenes = static_cast<SceneWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(scenes));
        return scenes;
    }
    return reinterpret_cast<SceneWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void BuildScene(SceneWindow& scenes, HWND window) {
    scenes.Host.emplace(window);
    scenes.Sound.emplace(GetModuleHandleA(nullptr));
    if (const auto seed = TestHookNumber("WRIGGLET_TEST_SEED")) scenes.Session.TimeOfDay = FixedTimeOfDay(*seed);
    if (const auto ticks = TestHookNumber("WRIGGLET_TEST_TICKS")) scenes.TicksLeft = *ticks;
    scenes.Readout = TestHookNumber("WRIGGLET_TEST_READOUT").has_value();
    scenes.PictureFile = TestHookText("WRIGGLET_TEST_PICTURE");
    scenes.Host->TimePresents = scenes.Readout;
    scenes.Host->TimerStartsToFail = TestHookNumber("WRIGGLET_TEST_TIMER_FAILURES").value_or(0);
    // The set-up waits for the first tick, so the window shows its picture at once.
    OpenScene(scenes.Session, *scenes.Host, Settings, Shell.Command.IsPreview, &*scenes.Sound, &scenes.Text, true);
}

void Tick(SceneWindow& scenes) {
    ++scenes.TimerMessages;
    if (scenes.Host && scenes.TicksLeft > 0) {
        --scenes.TicksLeft;
        const Stopwatch stopwatch(scenes.Readout ? &scenes.TickMicroseconds : nullptr);
        TickScene(scenes.Session, *scenes.Host, &*scenes.Sound);
    }
}

// The window beyond the picture (a preview larger than the screen) is black.
void BlackOutsidePicture(const SceneWindow& scenes, HDC dc, const RECT& update) {
    const int32_t width = scenes.Session.Picture.Width, height = scenes.Session.Picture.Height;
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT right{std::max<LONG>(update.left, width), update.top, update.right, update.bottom};
    const RECT below{update.left, std::max<LONG>(update.top, height), std::min<LONG>(update.right, width),
                     update.bottom};
    for (const RECT& r : {right, below})
        if (r.left < r.right && r.top < r.bottom) FillRect(dc, &r, black);
}

void Paint(SceneWindow& scenes, HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    if (scenes.Host) RepaintScene(scenes.Session, *scenes.Host, {r.left, r.top, r.right, r.bottom});
    if (dc) BlackOutsidePicture(scenes, dc, r);
    EndPaint(window, &paint);
    if (!scenes.PictureFile.empty() && scenes.Session.Live && scenes.Session.Picture.Width > 0)
        WritePictureFile(scenes.Session.Picture, scenes.PictureFile);
}

// A monitor came, went or changed size: the scenes are made again for the new monitors and
// the full-screen window takes their rectangle (taken from the monitors themselves: Wine
// answers the virtual screen's metrics from before the change until the monitors are
// enumerated again). The platform may have moved the pointer with its monitor, which says
// nothing about the user, so the mouse watch starts again from where the pointer is now.
void ChangeLayout(SceneWindow& scenes, HWND window) {
    if (!scenes.Host || Shell.Command.IsPreview) return;
    RelayoutScene(scenes.Session, *scenes.Host, Settings, &scenes.Text);
    const PixelRect& screen = scenes.Session.Screen;
    SetWindowPos(window, HWND_TOPMOST, screen.Left, screen.Top, screen.Right - screen.Left, screen.Bottom - screen.Top,
                 SWP_NOACTIVATE);
    RecordMouseOriginNow();
    ++scenes.LayoutChanges;
}

void TearDownScene(SceneWindow& scenes) {
    if (scenes.Host) CloseScene(scenes.Session, *scenes.Host);
}

// The scene's share of a message; true when it consumed it.
bool SceneMessage(SceneWindow& scenes, HWND window, UINT message) {
    if (scenes.Readout && message == ReadoutMessage()) {
        PublishReadout(window, scenes, scenes.Host ? &*scenes.Host : nullptr);
        return true;
    }
    switch (message) {
        case WM_CREATE:
            BuildScene(scenes, window);
            return false;
        case WM_TIMER:
            Tick(scenes);
            return true;
        case WM_PAINT:
            Paint(scenes, window);
            return true;
        case WM_DISPLAYCHANGE:
            ChangeLayout(scenes, window);
            return true;
        case WM_DESTROY:
            TearDownScene(scenes);
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
        if (SceneWindow* scenes = ScenesOf(window, message, lParam)) consumed = SceneMessage(*scenes, window, message);
    } catch (...) {}
    if (consumed) return 0;
    try {
        return DefaultSaverProc(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void KeepSceneTimer(SceneWindow& scenes) {
    if (scenes.Host && scenes.Session.Live) scenes.Host->KeepTimer();
}

}  // namespace wrigglet
