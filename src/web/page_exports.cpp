// The module's entry points for the page: it opens, ticks, re-lays out and closes the one
// scene session of its canvas, and asks the saver's mouse-move rule in full screen. The
// page has one canvas, so the session and its collaborators are this file's one state.
#include <emscripten/emscripten.h>

#include <cstdint>

#include "core/mouse_watch.h"
#include "core/scene_session.h"
#include "web/canvas_scene_host.h"
#include "web/canvas_text.h"
#include "web/page_imports.h"

namespace wrigglet::web {
namespace {

struct PageSound final : SoundPlayer {
    void PlayLooping(int32_t resource) override { PlaySoundLooping(resource); }
};

struct PageState {
    CanvasSceneHost Host;
    CanvasText Text;
    PageSound Sound;
    SceneSession Session;
    MouseWatch Watch;
};

PageState& Page() {
    static PageState page;
    return page;
}

// A position as a mouse-move message carries it: x in the low, y in the high 16 bits.
uint32_t MoveMessage(int32_t x, int32_t y) {
    return (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
}

}  // namespace
}  // namespace wrigglet::web

using wrigglet::web::Page;

extern "C" {

// Opens the scene over a width x height canvas (device pixels) with these settings; a
// negative `ticks` sets no tick limit. Shows the picture and answers the milliseconds to
// the first tick (0: none wanted).
EMSCRIPTEN_KEEPALIVE uint32_t wrigglet_open(int32_t width, int32_t height, int32_t desktop, int32_t sound, int32_t text,
                                            int32_t speed, int32_t wrigglets, uint32_t seed, int32_t ticks) {
    auto& page = Page();
    wrigglet::CloseScene(page.Session);
    page.Host.Resize(width, height);
    wrigglet::SceneOptions options;
    options.Settings = {
        .Desktop = desktop != 0, .Sound = sound != 0, .Text = text != 0, .Speed = speed, .Wrigglets = wrigglets};
    options.SetUpAtFirstTick = true;
    options.Seed = seed;
    if (ticks >= 0) options.TickLimit = ticks;
    const uint32_t first =
        wrigglet::OpenScene(page.Session, wrigglet::SceneParts(page.Host, &page.Sound, &page.Text), options);
    wrigglet::RepaintScene(page.Session, {0, 0, width, height});
    return first;
}

EMSCRIPTEN_KEEPALIVE uint32_t wrigglet_tick() { return wrigglet::TickScene(Page().Session); }

// The canvas took a new size: the scene starts again for it.
EMSCRIPTEN_KEEPALIVE uint32_t wrigglet_relayout(int32_t width, int32_t height) {
    auto& page = Page();
    page.Host.Resize(width, height);
    return wrigglet::RelayoutScene(page.Session);
}

// Ticks since the scene was built.
EMSCRIPTEN_KEEPALIVE double wrigglet_ticks() { return static_cast<double>(Page().Session.Ticks); }

EMSCRIPTEN_KEEPALIVE void wrigglet_close() { wrigglet::CloseScene(Page().Session); }

// The full-screen page's watch starts with the pointer at (x, y).
EMSCRIPTEN_KEEPALIVE void wrigglet_watch_mouse(int32_t x, int32_t y) { RecordMouseOrigin(Page().Watch, {x, y}); }

// The pointer moved to (x, y) of the full-screen page: 1 when that ends full screen.
EMSCRIPTEN_KEEPALIVE int32_t wrigglet_mouse_moved(int32_t x, int32_t y) {
    return wrigglet::MouseMoveAsksToClose(Page().Watch, wrigglet::web::MoveMessage(x, y)) ? 1 : 0;
}

}  // extern "C"
