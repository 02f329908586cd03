// One scene window's life, from creation to destruction, written against a small host
// interface so the order of the platform work can be checked without a window system.
#pragma once

#include <cstdint>
#include <vector>

#include "core/frame.h"
#include "core/saver_settings.h"
#include "core/scene_state.h"
#include "core/sound_player.h"
#include "core/text_imprint.h"

namespace wrigglet {

struct SceneSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// Each tick reaches the window with at most this many rectangle copies.
inline constexpr size_t MaxPresentRects = 8;

// The platform side of the saver window's scene.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    virtual SceneSize ScreenSize() = 0;  // the whole screen, the capture's source
    virtual SceneSize ClientSize() = 0;  // the window's client area (the preview's scene)
    // Makes the snapshot and the window's picture, each a width x height top-down 32-bit
    // buffer (0x00RRGGBB), and, when `fromScreen`, fills the snapshot from the screen: one
    // to one, or the whole screen stretched into it when `stretch`. False when they can't
    // be made.
    virtual bool CaptureSnapshot(int32_t width, int32_t height, bool stretch, bool fromScreen, uint32_t*& snapshot,
                                 uint32_t*& picture) = 0;
    virtual void ReleaseSnapshot() = 0;
    virtual void StartTimer(uint32_t id, uint32_t milliseconds) = 0;
    virtual void StopTimer(uint32_t id) = 0;
    // Copies these rectangles of the picture to the window.
    virtual void Present(const std::vector<PixelRect>& rects) = 0;
};

// A set-up still to run, and what it needs; the text rasteriser must live until then.
struct PendingSetUp {
    bool Due = false;
    SaverSettings Settings;
    TextRasteriser* Text = nullptr;
};

struct SceneSession {
    SceneState Scene;
    Frame Picture;
    uint32_t* Snapshot = nullptr;
    bool IsPreview = false;
    bool Live = false;  // between OpenScene and CloseScene
    PendingSetUp SetUp;
};

// Scene creation on the window's WM_CREATE: measure, capture (black instead when Desktop is
// off), seed, set up the scene and start timer 5. With `deferSetUp` the set-up waits for
// the first tick, so the window shows its picture first: the set-up takes a few hundred
// milliseconds on a large screen, and the window covers the screen only once it is done.
// The same seed gives the same frames either way. Running out of memory leaves the
// picture still, with no wrigglets.
void OpenScene(SceneSession& session, SceneHost& host, const SaverSettings& settings, bool isPreview,
               SoundPlayer* sound, TextRasteriser* text, bool deferSetUp = false);

// One WM_TIMER: a set-up still due, the steps and sound draws, then only the touched
// region to the window.
void TickScene(SceneSession& session, SceneHost& host, SoundPlayer* sound);

// WM_PAINT: the snapshot goes back into the picture inside `update`, wiping the trails
// there, and that region is shown.
void RepaintScene(SceneSession& session, SceneHost& host, PixelRect update);

// WM_DESTROY: stops the timer and frees the field and the pictures. A second call, and any
// tick or repaint after it, touches nothing.
void CloseScene(SceneSession& session, SceneHost& host);

}  // namespace wrigglet
