// The saver window's procedure: the scene sees every message first and hands what it does
// not consume on to DefaultSaverProc.
#include "win32/scene_window.h"

#include <cstdlib>
#include <optional>

#include "core/scene_session.h"
#include "win32/gdi_scene_host.h"
#include "win32/gdi_text.h"
#include "win32/saver_window.h"
#include "win32/shell_state.h"
#include "win32/wave_sound.h"

namespace wrigglet {
namespace {

// The process's one scene and the platform pieces that serve it.
struct SceneWindow {
    SceneSession Session;
    std::optional<GdiSceneHost> Host;
    std::optional<WaveSoundPlayer> Sound;
    uint64_t TicksLeft = UINT64_MAX;
};

SceneWindow Scene;

// Hooks for the end-to-end tests only, read from the environment: WRIGGLET_TEST_SEED fixes
// the seed of every Randomize, WRIGGLET_TEST_TICKS freezes the animation after that many
// ticks so a test can compare a known frame.
std::optional<uint32_t> TestHook(const char* name) {
    char text[32];
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text) return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*end != '\0') return std::nullopt;
    return static_cast<uint32_t>(value);
}

void BuildScene(HWND window) {
    Scene.Host.emplace(window);
    Scene.Sound.emplace(GetModuleHandleA(nullptr));
    if (const auto seed = TestHook("WRIGGLET_TEST_SEED")) Scene.Session.Scene.Generator.TimeOfDay = FixedTimeOfDay(*seed);
    if (const auto ticks = TestHook("WRIGGLET_TEST_TICKS")) Scene.TicksLeft = *ticks;
    GdiTextRasteriser text;
    OpenScene(Scene.Session, *Scene.Host, Settings, Shell.Command.IsPreview, &*Scene.Sound, &text);
}

void Tick() {
    if (!Scene.Host || Scene.TicksLeft == 0) return;
    --Scene.TicksLeft;
    TickScene(Scene.Session, *Scene.Host, &*Scene.Sound);
}

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    if (Scene.Host) RepaintScene(Scene.Session, *Scene.Host, {r.left, r.top, r.right, r.bottom});
    EndPaint(window, &paint);
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
            Tick();
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
