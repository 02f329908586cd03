// The module's entry points for the page: it opens, ticks, re-lays out and closes the one
// scene session of its canvas, and asks the saver's mouse-move rule in full screen. The
// page has one canvas, so the session and its collaborators are this file's one state.
#include <emscripten/emscripten.h>

#include <chrono>
#include <cstdint>

#include "core/mouse_watch.h"
#include "core/scene_session.h"
#include "core/tick_clock.h"
#include "web/canvas_scene_host.h"
#include "web/page_font_text.h"
#include "web/page_imports.h"

namespace wrigglet::web {
namespace {

struct PageSound final : SoundPlayer {
    void PlayLooping(int32_t resource) override { PlaySoundLooping(resource); }
};

struct LoopState {
    CanvasSceneHost Host;
    PageFontText Text;
    PageSound Sound;
    SceneSession Session;
    TickClock Ticks;
    MouseWatch Watch;
};

LoopState& Page() {
    static LoopState page;
    return page;
}

// What the page's timer waits for: the whole milliseconds to the next tick, or -1 for none.
int32_t Delay(const TickClock& ticks) {
    const auto left = TimeToTick(ticks, std::chrono::steady_clock::now());
    if (!left) return -1;
    return static_cast<int32_t>(std::chrono::ceil<std::chrono::milliseconds>(*left).count());
}

}  // namespace
}  // namespace wrigglet::web

using wrigglet::web::Delay;
using wrigglet::web::Page;

extern "C" {

// Opens the scene over a width x height canvas (device pixels) with these settings; a
// negative `ticks` sets no tick limit. Shows the picture and answers the milliseconds to
// the first tick (-1: none wanted). The answers of the verbs below are the same.
EMSCRIPTEN_KEEPALIVE int32_t wrigglet_open(int32_t width, int32_t height, int32_t desktop, int32_t sound, int32_t text,
                                           int32_t speed, int32_t wrigglets, uint32_t seed, int32_t ticks) {
    auto& page = Page();
    wrigglet::CloseScene(page.Session);
    page.Host.Resize(width, height);
    wrigglet::SceneOptions options;
    options.Settings = {
        .Desktop = desktop != 0, .Sound = sound != 0, .Text = text != 0, .Speed = speed, .Wrigglets = wrigglets};
    options.SetUpAtFirstTick = true;
    options.ShowAtOpening = true;
    options.Seed = seed;
    if (ticks >= 0) options.TickLimit = ticks;
    wrigglet::StartTickClock(
        page.Ticks,
        wrigglet::OpenScene(page.Session, wrigglet::SceneParts(page.Host, &page.Sound, &page.Text), options),
        std::chrono::steady_clock::now());
    return Delay(page.Ticks);
}

// The page's timer fired: one tick.
EMSCRIPTEN_KEEPALIVE int32_t wrigglet_tick() {
    auto& page = Page();
    wrigglet::ScheduleNextTick(page.Ticks, wrigglet::TickScene(page.Session), std::chrono::steady_clock::now());
    return Delay(page.Ticks);
}

// The canvas took a new size: the scene starts again for it.
EMSCRIPTEN_KEEPALIVE int32_t wrigglet_relayout(int32_t width, int32_t height) {
    auto& page = Page();
    page.Host.Resize(width, height);
    wrigglet::StartTickClock(page.Ticks, wrigglet::RelayoutScene(page.Session), std::chrono::steady_clock::now());
    return Delay(page.Ticks);
}

// The scene was held still (a hidden tab, the visitor's pause): the next tick comes one
// interval from now.
EMSCRIPTEN_KEEPALIVE int32_t wrigglet_resume() {
    auto& page = Page();
    wrigglet::ResumeTickClock(page.Ticks, std::chrono::steady_clock::now());
    return Delay(page.Ticks);
}

// The settings of a saver that was never configured, packed: Desktop, Sound and Text in bits
// 0 to 2, Speed from bit 4, Wrigglets from bit 8.
EMSCRIPTEN_KEEPALIVE int32_t wrigglet_default_settings() {
    const wrigglet::SaverSettings defaults;
    return (defaults.Desktop ? 1 : 0) | (defaults.Sound ? 2 : 0) | (defaults.Text ? 4 : 0) | defaults.Speed << 4 |
           defaults.Wrigglets << 8;
}

// Ticks since the scene was built.
EMSCRIPTEN_KEEPALIVE double wrigglet_ticks() { return static_cast<double>(Page().Session.Ticks()); }

EMSCRIPTEN_KEEPALIVE void wrigglet_close() { wrigglet::CloseScene(Page().Session); }

// The full-screen page's watch starts with the pointer at (x, y).
EMSCRIPTEN_KEEPALIVE void wrigglet_watch_mouse(int32_t x, int32_t y) { RecordMouseOrigin(Page().Watch, {x, y}); }

// The pointer moved to (x, y) of the full-screen page: 1 when that ends full screen.
EMSCRIPTEN_KEEPALIVE int32_t wrigglet_mouse_moved(int32_t x, int32_t y) {
    return wrigglet::MouseMoveAsksToClose(Page().Watch, {x, y}) ? 1 : 0;
}

}  // extern "C"
