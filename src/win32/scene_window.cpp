// The saver window's procedure: the scene sees every message first and hands what it does
// not consume on to DefaultSaverProc.
#include "win32/scene_window.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

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
    bool Readout = false;         // WRIGGLET_TEST_READOUT is set
    std::string PictureFile;      // WRIGGLET_TEST_PICTURE names it
    uintptr_t TimerMessages = 0;  // every WM_TIMER, also those of a frozen or empty scene
};

SceneWindow Scene;

// Hooks for the end-to-end tests only, read from the environment: WRIGGLET_TEST_SEED fixes
// the seed of every Randomize, WRIGGLET_TEST_TICKS freezes the animation after that many
// ticks so a test can compare a known frame, and WRIGGLET_TEST_READOUT publishes the
// counters below as window properties that a test reads from its own process.
// WRIGGLET_TEST_PICTURE=FILE writes the window's picture to FILE (binary PPM) after each
// repaint: a preview child drawn by another process than its parent's does not reach the
// screen under Wine, so a test reads the preview's picture there.
std::optional<uint32_t> TestHook(const char* name) {
    char text[32];
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text) return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*end != '\0') return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::string TestText(const char* name) {
    char text[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    return length > 0 && length < sizeof text ? std::string(text, length) : std::string();
}

// Written beside FILE first and then moved over it, so a reader never sees half a picture.
void WritePictureFile(const Frame& picture, const std::string& path) {
    const std::string partial = path + ".part";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) return;
    std::fprintf(file, "P6\n%d %d\n255\n", static_cast<int>(picture.Width), static_cast<int>(picture.Height));
    const size_t count = static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = picture.Pixels[i];
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, file);
    }
    const bool written = std::fclose(file) == 0;
    if (written) MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void BuildScene(HWND window) {
    Scene.Host.emplace(window);
    Scene.Sound.emplace(GetModuleHandleA(nullptr));
    if (const auto seed = TestHook("WRIGGLET_TEST_SEED")) Scene.Session.Scene.Generator.TimeOfDay = FixedTimeOfDay(*seed);
    if (const auto ticks = TestHook("WRIGGLET_TEST_TICKS")) Scene.TicksLeft = *ticks;
    Scene.Readout = TestHook("WRIGGLET_TEST_READOUT").has_value();
    Scene.PictureFile = TestText("WRIGGLET_TEST_PICTURE");
    GdiTextRasteriser text;
    OpenScene(Scene.Session, *Scene.Host, Settings, Shell.Command.IsPreview, &*Scene.Sound, &text);
}

// The counters a test can read: timer messages seen, the process's CPU time, the GDI
// objects the scene holds, and the rectangles and GDI calls its presents have made so far.
void PublishReadout(HWND window) {
    if (!Scene.Readout) return;
    const auto publish = [window](const char* name, uintptr_t value) {
        SetPropA(window, name, reinterpret_cast<HANDLE>(value));
    };
    publish("WriggletTimerMessages", Scene.TimerMessages);
    FILETIME created, ended, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) {
        const auto ms = [](const FILETIME& t) {
            return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
        };
        publish("WriggletCpuMs", static_cast<uintptr_t>(ms(kernel) + ms(user)));
    }
    if (Scene.Host) {
        publish("WriggletGdiObjects", Scene.Host->LiveGdiObjects);
        publish("WriggletPresents", Scene.Host->Presents);
        publish("WriggletPresentedRects", Scene.Host->PresentedRects);
        publish("WriggletPresentGdiCalls", Scene.Host->PresentGdiCalls);
    }
}

void Tick(HWND window) {
    ++Scene.TimerMessages;
    if (Scene.Host && Scene.TicksLeft > 0) {
        --Scene.TicksLeft;
        TickScene(Scene.Session, *Scene.Host, &*Scene.Sound);
    }
    PublishReadout(window);
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
