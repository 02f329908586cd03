// The saver window's class, its two forms (preview child or full-screen popup), and its
// procedure: the scene sees every message first and hands what it does not consume on to
// DefaultSaverProc.
#include "win32/scene_window.h"

#include <algorithm>

#include "win32/stopwatch.h"
#include "win32/test_hooks.h"

namespace wrigglet {
namespace {

constexpr char SaverClassName[] = "screensaver";
constexpr UINT_PTR SceneTimerId = 5;

// The window keeps its SceneWindow in its user data from WM_NCCREATE on; messages that come
// before it (WM_GETMINMAXINFO) find none.
SceneWindow* SceneOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* scene = static_cast<SceneWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(scene));
        return scene;
    }
    return reinterpret_cast<SceneWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The test hooks that shape the run are read here, once.
SceneOptions OptionsFor(const SceneWindow& scene) {
    SceneOptions options;
    options.Settings = scene.Saver.Settings;
    options.Preview = IsPreview(scene.Saver.Command);
    // The set-up waits for the first tick, so the window shows its picture at once.
    options.SetUpAtFirstTick = true;
    options.Seed = TestHookNumber("WRIGGLET_TEST_SEED");
    if (const auto ticks = TestHookNumber("WRIGGLET_TEST_TICKS")) options.TickLimit = *ticks;
    return options;
}

// The timer runs at the interval the session answers. An answer of 0 (the tick limit is
// reached) leaves it running, so the picture stays frozen while the tests measure what a tick
// costs the platform alone.
void FollowAnswer(SceneWindow& scene, uint32_t milliseconds) {
    SceneTimer& timer = scene.Timer;
    if (milliseconds == 0 || milliseconds == timer.Interval) return;
    if (timer.Running) KillTimer(scene.Saver.Handle, SceneTimerId);
    timer.Running = false;
    timer.Interval = milliseconds;
    KeepSceneTimer(scene);
}

void BuildScene(SceneWindow& scene, HWND window) {
    scene.Saver.Handle = window;
    scene.Host.emplace(window);
    scene.Sound.emplace(GetModuleHandleA(nullptr));
    scene.Readout = TestHookNumber("WRIGGLET_TEST_READOUT").has_value();
    scene.PictureFile = TestHookText("WRIGGLET_TEST_PICTURE");
    scene.Host->TimePresents = scene.Readout;
    scene.Timer.StartsToFail = TestHookNumber("WRIGGLET_TEST_TIMER_FAILURES").value_or(0);
    FollowAnswer(scene,
                 OpenScene(scene.Session, SceneParts(*scene.Host, &*scene.Sound, &scene.Text), OptionsFor(scene)));
}

void Tick(SceneWindow& scene) {
    const Stopwatch stopwatch(scene.Readout ? &scene.TickMicroseconds : nullptr);
    FollowAnswer(scene, TickScene(scene.Session));
}

// The window beyond the picture (a preview larger than the screen) is black.
void BlackOutsidePicture(const SceneWindow& scene, HDC dc, const RECT& update) {
    const int32_t width = scene.Session.Picture().Width, height = scene.Session.Picture().Height;
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT right{std::max<LONG>(update.left, width), update.top, update.right, update.bottom};
    const RECT below{update.left, std::max<LONG>(update.top, height), std::min<LONG>(update.right, width),
                     update.bottom};
    for (const RECT& r : {right, below})
        if (r.left < r.right && r.top < r.bottom) FillRect(dc, &r, black);
}

void Paint(SceneWindow& scene, HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    RepaintScene(scene.Session, {r.left, r.top, r.right, r.bottom});
    if (dc) BlackOutsidePicture(scene, dc, r);
    EndPaint(window, &paint);
    if (!scene.PictureFile.empty() && scene.Session.Live() && scene.Session.Picture().Width > 0)
        WritePictureFile(scene.Session.Picture(), scene.PictureFile);
}

// A monitor came, went or changed size. A new layout costs as much as the start, so it is
// only noted here and made at the next tick, once for a whole burst of changes: made for
// each, a burst would keep input waiting behind them. The platform may have moved the
// pointer with its monitor, which says nothing about the user, so the mouse watch starts
// again from where the pointer is now, and again once the layout is made.
void NoteLayoutChange(SceneWindow& scene) {
    if (!scene.Session.Live() || IsPreview(scene.Saver.Command)) return;
    scene.LayoutDue = true;
    RestartMouseWatch(scene.Saver);
}

// The scenes are laid out again for the monitors there are now, and the full-screen window
// takes their rectangle (taken from the monitors themselves: Wine answers the virtual
// screen's metrics from before the change until the monitors are enumerated again). A
// window started maximized on one monitor stays snapped to it whatever it is told, so it
// becomes a plain popup first.
void ChangeLayout(SceneWindow& scene, HWND window) {
    scene.LayoutDue = false;
    FollowAnswer(scene, RelayoutScene(scene.Session));
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (style & WS_MAXIMIZE) SetWindowLongPtrA(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MAXIMIZE));
    const PixelRect& screen = scene.Session.Screen();
    SetWindowPos(window, HWND_TOPMOST, screen.Left, screen.Top, RectWidth(screen), RectHeight(screen),
                 SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RestartMouseWatch(scene.Saver);
    ++scene.LayoutChanges;
}

void TearDownScene(SceneWindow& scene, HWND window) {
    KillTimer(window, SceneTimerId);
    scene.Timer = {};
    CloseScene(scene.Session);
}

void PublishSceneReadout(const SceneWindow& scene, HWND window) {
    const PresentCounts& sent = scene.Session.Presented();
    const GdiSceneHost* host = scene.Host ? &*scene.Host : nullptr;
    PublishReadout(window, {{"WriggletTimerMessages", scene.TimerMessages},
                            {"WriggletLayoutChanges", scene.LayoutChanges},
                            {"WriggletTickMicroseconds", scene.TickMicroseconds},
                            {"WriggletPresents", static_cast<uintptr_t>(sent.Presents)},
                            {"WriggletPresentedRects", static_cast<uintptr_t>(sent.Rects)},
                            {"WriggletPresentedPixels", static_cast<uintptr_t>(sent.Pixels)},
                            {"WriggletGdiObjects", host ? host->LiveGdiObjects : 0},
                            {"WriggletPresentGdiCalls", host ? host->PresentGdiCalls : 0},
                            {"WriggletPresentMicroseconds", host ? host->PresentMicroseconds : 0}});
}

// The scene's share of a message; true when it consumed it.
bool SceneMessage(SceneWindow& scene, HWND window, UINT message) {
    if (scene.Readout && message == ReadoutMessage()) {
        PublishSceneReadout(scene, window);
        return true;
    }
    switch (message) {
        case WM_CREATE:
            BuildScene(scene, window);
            return false;
        case WM_TIMER:
            ++scene.TimerMessages;
            if (scene.LayoutDue) {
                ChangeLayout(scene, window);
            } else {
                Tick(scene);
            }
            return true;
        case WM_PAINT:
            Paint(scene, window);
            return true;
        case WM_DISPLAYCHANGE:
            NoteLayoutChange(scene);
            return true;
        case WM_DESTROY:
            TearDownScene(scene, window);
            return false;
    }
    return false;
}

LRESULT CALLBACK SceneCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through the platform's frames. A scene that failed stays as
    // far as it got (at worst the black window), and input still ends the saver.
    SceneWindow* scene = nullptr;
    bool consumed = false;
    try {
        scene = SceneOf(window, message, lParam);
        if (scene) consumed = SceneMessage(*scene, window, message);
    } catch (...) {}
    if (consumed) return 0;
    try {
        if (scene) return DefaultSaverProc(scene->Saver, window, message, wParam, lParam);
    } catch (...) {}
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterSaverClass(HBRUSH background) {
    // No CS_DBLCLKS, so a double click arrives as two presses; no class cursor, so
    // nothing but DefaultSaverProc decides the pointer's look over the window.
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_SAVEBITS;
    windowClass.lpfnWndProc = SceneCallback;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = SaverClassName;
    RegisterClassA(&windowClass);  // a failure shows in the creation that follows
}

HWND CreatePreviewForm(HWND parent, SceneWindow& scene) {
    // A handle that isn't a window (the message-only parent among them) would give an
    // invisible saver that nothing can end, and the desktop window a screen-covering one
    // that no input reaches; either counts as a failed creation.
    if (!IsWindow(parent) || parent == GetDesktopWindow()) return nullptr;
    RECT frame{};
    GetWindowRect(parent, &frame);
    // The host's window lives in another process, which may hang: a child's creation and
    // end would otherwise wait for it to take WM_PARENTNOTIFY.
    return CreateWindowExA(WS_EX_NOPARENTNOTIFY, SaverClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0,
                           frame.right - frame.left, frame.bottom - frame.top, parent, nullptr,
                           GetModuleHandleA(nullptr), &scene);
}

HWND CreateFullScreenForm(SceneWindow& scene) {
    // Several monitors: a plain popup over the whole virtual screen, which may start left
    // of or above the primary; maximizing would snap it to one monitor.
    if (GetSystemMetrics(SM_CMONITORS) > 1) {
        return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, nullptr, WS_POPUP | WS_VISIBLE,
                               GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                               GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                               nullptr, GetModuleHandleA(nullptr), &scene);
    }
    // The maximized state alone makes the window cover the screen; giving it the screen's
    // size as well changes nothing on Windows, and Wine shows a window maximized from
    // 0 by 0 nowhere.
    return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, nullptr, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           GetModuleHandleA(nullptr), &scene);
}

}  // namespace

HWND CreateSceneWindow(SceneWindow& scene, HWND parent) {
    RegisterSaverClass(parent ? nullptr : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return parent ? CreatePreviewForm(parent, scene) : CreateFullScreenForm(scene);
}

void KeepSceneTimer(SceneWindow& scene) {
    SceneTimer& timer = scene.Timer;
    if (timer.Interval == 0 || timer.Running || !scene.Saver.Handle) return;
    if (timer.StartsToFail > 0) {
        --timer.StartsToFail;
        return;
    }
    timer.Running = SetTimer(scene.Saver.Handle, SceneTimerId, timer.Interval, nullptr) != 0;
}

}  // namespace wrigglet
