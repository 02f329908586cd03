// The saver window's class, its two forms (preview child or full-screen popup), and its
// procedure: the scene sees every message first and hands what it does not consume on to
// DefaultSaverProc.
#include "win32/win32_loop.h"

#include <algorithm>

#include "win32/stopwatch.h"
#include "win32/test_hooks.h"

namespace wrigglet {
namespace {

constexpr char SaverClassName[] = "screensaver";
constexpr UINT_PTR SceneTimerId = 5;

// The window keeps its LoopState in its user data from WM_NCCREATE on; messages that come
// before it (WM_GETMINMAXINFO) find none.
LoopState* StateOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* state = static_cast<LoopState*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        return state;
    }
    return reinterpret_cast<LoopState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The test hooks that shape the run are read here, once.
SceneOptions OptionsFor(const LoopState& state) {
    SceneOptions options;
    options.Settings = state.Saver.Settings;
    options.Preview = IsPreview(state.Saver.Command);
    // The set-up waits for the first tick, so the window shows its picture at once.
    options.SetUpAtFirstTick = true;
    options.Seed = TestHookNumber("WRIGGLET_TEST_SEED");
    if (const auto ticks = TestHookNumber("WRIGGLET_TEST_TICKS")) options.TickLimit = *ticks;
    return options;
}

// The timer runs at the interval the session answers. An answer of 0 (the tick limit is
// reached) leaves it running, so the picture stays frozen while the tests measure what a tick
// costs the platform alone.
void FollowAnswer(LoopState& state, uint32_t milliseconds) {
    SceneTimer& timer = state.Timer;
    if (milliseconds == 0 || milliseconds == timer.Interval) return;
    if (timer.Running) KillTimer(state.Saver.Handle, SceneTimerId);
    timer.Running = false;
    timer.Interval = milliseconds;
    KeepSceneTimer(state);
}

void BuildScene(LoopState& state, HWND window) {
    state.Saver.Handle = window;
    state.Host.emplace(window);
    state.Sound.emplace(GetModuleHandleA(nullptr));
    state.Readout = TestHookNumber("WRIGGLET_TEST_READOUT").has_value();
    state.PictureFile = TestHookText("WRIGGLET_TEST_PICTURE");
    state.Host->TimePresents = state.Readout;
    state.Timer.StartsToFail = TestHookNumber("WRIGGLET_TEST_TIMER_FAILURES").value_or(0);
    FollowAnswer(state,
                 OpenScene(state.Session, SceneParts(*state.Host, &*state.Sound, &state.Text), OptionsFor(state)));
}

void Tick(LoopState& state) {
    const Stopwatch stopwatch(state.Readout ? &state.TickMicroseconds : nullptr);
    FollowAnswer(state, TickScene(state.Session));
}

// The window beyond the picture (a preview larger than the screen) is black.
void BlackOutsidePicture(const LoopState& state, HDC dc, const RECT& update) {
    const int32_t width = state.Session.Picture().Width, height = state.Session.Picture().Height;
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT right{std::max<LONG>(update.left, width), update.top, update.right, update.bottom};
    const RECT below{update.left, std::max<LONG>(update.top, height), std::min<LONG>(update.right, width),
                     update.bottom};
    for (const RECT& r : {right, below})
        if (r.left < r.right && r.top < r.bottom) FillRect(dc, &r, black);
}

void Paint(LoopState& state, HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    RepaintScene(state.Session, {r.left, r.top, r.right, r.bottom});
    if (dc) BlackOutsidePicture(state, dc, r);
    EndPaint(window, &paint);
    if (!state.PictureFile.empty() && state.Session.Live() && state.Session.Picture().Width > 0)
        WritePictureFile(state.Session.Picture(), state.PictureFile);
}

// A monitor came, went or changed size. A new layout costs as much as the start, so it is
// only noted here and made at the next tick, once for a whole burst of changes: made for
// each, a burst would keep input waiting behind them. The platform may have moved the
// pointer with its monitor, which says nothing about the user, so the mouse watch starts
// again from where the pointer is now, and again once the layout is made.
void NoteLayoutChange(LoopState& state) {
    if (!state.Session.Live() || IsPreview(state.Saver.Command)) return;
    state.LayoutDue = true;
    RestartMouseWatch(state.Saver);
}

// The scenes are laid out again for the monitors there are now, and the full-screen window
// takes their rectangle (taken from the monitors themselves: Wine answers the virtual
// screen's metrics from before the change until the monitors are enumerated again). A
// window started maximized on one monitor stays snapped to it whatever it is told, so it
// becomes a plain popup first.
void ChangeLayout(LoopState& state, HWND window) {
    state.LayoutDue = false;
    FollowAnswer(state, RelayoutScene(state.Session));
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (style & WS_MAXIMIZE) SetWindowLongPtrA(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MAXIMIZE));
    const PixelRect& screen = state.Session.Screen();
    SetWindowPos(window, HWND_TOPMOST, screen.Left, screen.Top, RectWidth(screen), RectHeight(screen),
                 SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RestartMouseWatch(state.Saver);
    ++state.LayoutChanges;
}

void TearDownScene(LoopState& state, HWND window) {
    KillTimer(window, SceneTimerId);
    state.Timer = {};
    CloseScene(state.Session);
}

void PublishSceneReadout(const LoopState& state, HWND window) {
    const PresentCounts& sent = state.Session.Presented();
    const GdiSceneHost* host = state.Host ? &*state.Host : nullptr;
    PublishReadout(window, {{"WriggletTimerMessages", state.TimerMessages},
                            {"WriggletLayoutChanges", state.LayoutChanges},
                            {"WriggletTickMicroseconds", state.TickMicroseconds},
                            {"WriggletPresents", static_cast<uintptr_t>(sent.Presents)},
                            {"WriggletPresentedRects", static_cast<uintptr_t>(sent.Rects)},
                            {"WriggletPresentedPixels", static_cast<uintptr_t>(sent.Pixels)},
                            {"WriggletGdiObjects", host ? host->LiveGdiObjects : 0},
                            {"WriggletPresentGdiCalls", host ? host->PresentGdiCalls : 0},
                            {"WriggletPresentMicroseconds", host ? host->PresentMicroseconds : 0}});
}

// The scene's share of a message; true when it consumed it.
bool SceneMessage(LoopState& state, HWND window, UINT message) {
    if (state.Readout && message == ReadoutMessage()) {
        PublishSceneReadout(state, window);
        return true;
    }
    switch (message) {
        case WM_CREATE:
            BuildScene(state, window);
            return false;
        case WM_TIMER:
            ++state.TimerMessages;
            if (state.LayoutDue) {
                ChangeLayout(state, window);
            } else {
                Tick(state);
            }
            return true;
        case WM_PAINT:
            Paint(state, window);
            return true;
        case WM_DISPLAYCHANGE:
            NoteLayoutChange(state);
            return true;
        case WM_DESTROY:
            TearDownScene(state, window);
            return false;
    }
    return false;
}

LRESULT CALLBACK SceneCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through the platform's frames. A scene that failed stays as
    // far as it got (at worst the black window), and input still ends the saver.
    LoopState* state = nullptr;
    bool consumed = false;
    try {
        state = StateOf(window, message, lParam);
        if (state) consumed = SceneMessage(*state, window, message);
    } catch (...) {}
    if (consumed) return 0;
    try {
        if (state) return DefaultSaverProc(state->Saver, window, message, wParam, lParam);
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

HWND CreatePreviewForm(HWND parent, LoopState& state) {
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
                           GetModuleHandleA(nullptr), &state);
}

HWND CreateFullScreenForm(LoopState& state) {
    // Several monitors: a plain popup over the whole virtual screen, which may start left
    // of or above the primary; maximizing would snap it to one monitor.
    if (GetSystemMetrics(SM_CMONITORS) > 1) {
        return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, nullptr, WS_POPUP | WS_VISIBLE,
                               GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                               GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                               nullptr, GetModuleHandleA(nullptr), &state);
    }
    // The maximized state alone makes the window cover the screen; giving it the screen's
    // size as well changes nothing on Windows, and Wine shows a window maximized from
    // 0 by 0 nowhere.
    return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, nullptr, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           GetModuleHandleA(nullptr), &state);
}

}  // namespace

HWND CreateSceneWindow(LoopState& state, HWND parent) {
    RegisterSaverClass(parent ? nullptr : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return parent ? CreatePreviewForm(parent, state) : CreateFullScreenForm(state);
}

void KeepSceneTimer(LoopState& state) {
    SceneTimer& timer = state.Timer;
    if (timer.Interval == 0 || timer.Running || !state.Saver.Handle) return;
    if (timer.StartsToFail > 0) {
        --timer.StartsToFail;
        return;
    }
    timer.Running = SetTimer(state.Saver.Handle, SceneTimerId, timer.Interval, nullptr) != 0;
}

}  // namespace wrigglet
