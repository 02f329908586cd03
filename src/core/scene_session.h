// The saver window's scenes, one per monitor, from creation to destruction, written against
// a small host interface so the order of the platform work can be checked without a window
// system.
#pragma once

#include <cstdint>
#include <vector>

#include "core/frame.h"
#include "core/random.h"
#include "core/saver_settings.h"
#include "core/scene_state.h"
#include "core/sound_player.h"
#include "core/text_imprint.h"

namespace wrigglet {

struct SceneSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// The platform side of the saver window's scenes. Rectangles the host is given are in the
// window's client coordinates, which are the picture's.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    virtual SceneSize ScreenSize() = 0;  // the primary screen, the preview's source
    virtual SceneSize ClientSize() = 0;  // the window's client area (the preview's scene)
    // The monitors in virtual-screen coordinates, the primary first; empty when the
    // platform can't tell (the primary screen at 0,0 is then taken as the only one).
    virtual std::vector<PixelRect> Monitors() = 0;
    // Makes the snapshot and the window's picture, each a width x height top-down 32-bit
    // buffer (0x00RRGGBB), and, when `fromScreen`, fills the snapshot from the screen: one
    // to one from the virtual screen's top-left corner, or the primary screen stretched into
    // it when `stretch`. False when they can't be made.
    virtual bool CaptureSnapshot(int32_t width, int32_t height, bool stretch, bool fromScreen, uint32_t*& snapshot,
                                 uint32_t*& picture) = 0;
    virtual void ReleaseSnapshot() = 0;
    virtual void StartTimer(uint32_t id, uint32_t milliseconds) = 0;
    virtual void StopTimer(uint32_t id) = 0;
    // Copies these rectangles of the picture to the window: after a tick, the touched tiles
    // (possibly hundreds of small rectangles, which never overlap), so a host sends them in
    // a bounded number of platform calls (one clip region and one copy, for example).
    virtual void Present(const std::vector<PixelRect>& rects) = 0;
};

// One monitor's scene: exactly the single-screen scene of the monitor's size, drawing into
// its part of the window's picture.
struct MonitorScene {
    PixelRect Area;  // in the picture
    SceneState Scene;
    Frame View;  // the picture and snapshot inside Area
};

// A set-up still to run, and what it needs; the text rasteriser must live until then.
struct PendingSetUp {
    bool Due = false;
    SaverSettings Settings;
    TextRasteriser* Text = nullptr;
};

struct SceneSession {
    std::vector<MonitorScene> Scenes;  // the primary's first (see OrderMonitors)
    Frame Picture;                     // the whole window's picture over the snapshot
    PixelRect Screen;                  // what the picture shows, in virtual-screen coordinates
    uint32_t* Snapshot = nullptr;
    TimeOfDaySource TimeOfDay = SystemTimeOfDay;  // the primary's seeds; the others are offset
    bool IsPreview = false;
    bool Live = false;  // between OpenScene and CloseScene
    PendingSetUp SetUp;
};

// Scene creation on the window's WM_CREATE: measure, capture (black instead when Desktop is
// off; black where no monitor is), seed one scene per monitor (one for the preview), set
// them up and start timer 5. Only the primary scene's sound draws reach `sound`. With
// `deferSetUp` the set-up waits for the first tick, so the window shows its picture first:
// the set-up takes a few hundred milliseconds on a large screen, and the window covers the
// screen only once it is done. The same seed gives the same frames either way. Running out
// of memory leaves the picture still, with no wrigglets, where it struck.
void OpenScene(SceneSession& session, SceneHost& host, const SaverSettings& settings, bool isPreview,
               SoundPlayer* sound, TextRasteriser* text, bool deferSetUp = false);

// One WM_TIMER: a set-up still due, every scene's steps and sound draws, then one present
// of the tiles they touched.
void TickScene(SceneSession& session, SceneHost& host, SoundPlayer* sound);

// WM_PAINT: the snapshot goes back into the picture inside `update`, wiping the trails
// there, and that region is shown.
void RepaintScene(SceneSession& session, SceneHost& host, PixelRect update);

// WM_DISPLAYCHANGE: the pictures and scenes are made again for the monitors the host now
// reports, over black (the desktop is behind the saver's own window now), set up at once
// and shown whole; the window then takes session.Screen. The timer and the looping sound go
// on.
void RelayoutScene(SceneSession& session, SceneHost& host, const SaverSettings& settings, TextRasteriser* text);

// WM_DESTROY: stops the timer and frees the fields and the pictures. A second call, and any
// tick or repaint after it, touches nothing.
void CloseScene(SceneSession& session, SceneHost& host);

}  // namespace wrigglet
