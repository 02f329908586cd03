// The scene session: every front end's scenes, one per monitor, from opening to closing.
// A front end binds its host, sound player and text rasteriser once, at the opening, then
// drives the session with a few verbs: tick, repaint, re-lay out, close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/frame.h"
#include "core/monitor_layout.h"
#include "core/random.h"
#include "core/saver_settings.h"
#include "core/scene_state.h"
#include "core/sound_player.h"
#include "core/stop_request.h"
#include "core/text_imprint.h"

namespace wrigglet {

struct SceneSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// What the snapshot starts as: black, the screen under the picture one to one, or the
// primary screen stretched into it (the preview's small picture).
enum class SnapshotSource { Black, Screen, StretchedScreen };

// The two buffers of a picture `Area` wide and high, each a top-down 32-bit buffer of
// 0x00RRGGBB pixels with rows of exactly the area's width. A black snapshot needs no
// buffer: the Snapshot may then stay null, which halves the pictures' memory.
struct PicturePair {
    uint32_t* Snapshot = nullptr;
    uint32_t* Picture = nullptr;
};

// The platform side of the scenes: it reports the monitors, makes the pictures, reads the
// screen and shows rectangles of the picture. Rectangles the session gives it are the
// picture's, whose top-left corner lies at the `area` of the latest MakePictures.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    // The monitors in the host's coordinates (a window's, or the virtual screen's), in any
    // order (the session orders them); at least one: a host that can't tell gives its whole
    // screen or window.
    virtual MonitorList Monitors() = 0;
    // The preview's one scene: the size of the window it draws in.
    virtual SceneSize ClientSize() = 0;
    // Makes the snapshot and the picture for `area` (in the Monitors' coordinates) and,
    // unless `source` is Black, fills the snapshot from the screen (a Black snapshot may
    // hold anything, or be left null: the session clears it or does without; a host with
    // no picture of the screen may leave that null too). False when the pictures can't be
    // made. Frees any pictures made before.
    virtual bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) = 0;
    virtual void ReleasePictures() = 0;
    // Copies these rectangles of the picture to the screen: after a tick, the touched
    // tiles (possibly hundreds of small rectangles, which never overlap), so a host sends
    // them in a bounded number of platform calls (one clip region and one copy, say).
    virtual void Present(const std::vector<PixelRect>& rects) = 0;
    // True while MakePictures can still read the desktop as the user left it; a window
    // that covers the screen hides it from then on.
    virtual bool DesktopVisible() { return true; }
};

// What a session is opened for.
struct SceneOptions {
    SaverSettings Settings;
    bool Preview = false;
    // The set-up waits for the first tick, so the window shows its picture first: the
    // set-up takes a few hundred milliseconds on a large screen. The seed is taken at the
    // opening either way, so the frames are the same.
    bool SetUpAtFirstTick = false;
    // The whole picture is shown as soon as it is made, for a platform that sends no first
    // paint of its own.
    bool ShowAtOpening = false;
    // Every reseed uses this seed instead of the time of day: the same run every time.
    std::optional<uint32_t> Seed;
    // The animation stops after this many ticks since the scenes were built and keeps
    // showing that frame, so a test can compare it.
    std::optional<int64_t> TickLimit;
    // Milliseconds between ticks instead of the mode's and speed's (0 counts as 1, since a
    // tick answering 0 means no more ticks).
    std::optional<uint32_t> Interval;
    // Asked while the pictures are filled and the scenes set up; once it answers true they
    // end early and stay still where they got to, so the program can end at once.
    StopRequest StopRequested;
    // The index the first scene seeds as: a front end with one session per monitor opens
    // monitor i's with i, so it draws what scene i of one session over them all would.
    size_t FirstSceneIndex = 0;
};

// The collaborators a session works with from its opening to its closing; the sound and
// the text rasteriser may be absent (nothing plays, no words are written).
struct SceneParts {
    explicit SceneParts(SceneHost& host, SoundPlayer* sound = nullptr, TextRasteriser* text = nullptr)
        : Host(host), Sound(sound), Text(text) {}
    SceneHost& Host;
    SoundPlayer* Sound;
    TextRasteriser* Text;
};

// One monitor's scene: exactly the single-screen scene of the monitor's size, drawing into
// its part of the picture.
struct MonitorScene {
    PixelRect Area;  // in the picture
    SceneState Scene;
    Frame View;  // the picture and snapshot inside Area
};

// What the presents have sent, for the simulator's statistics, the benchmarks and the tests.
struct PresentCounts {
    uint64_t Presents = 0;
    uint64_t Rects = 0;
    uint64_t Pixels = 0;
};

// What a session holds between its opening and its closing; only the session's verbs reach it.
struct SceneSessionState {
    SceneHost* Host = nullptr;
    SoundPlayer* Sound = nullptr;  // only the first scene's sound draws reach it
    TextRasteriser* Text = nullptr;
    SceneOptions Options;
    uint32_t Interval = 0;             // milliseconds between ticks
    std::vector<MonitorScene> Scenes;  // the primary's first
    Frame Picture;                     // the whole picture over the snapshot
    PixelRect Screen;                  // what the picture shows, in the host's coordinates
    uint32_t* Snapshot = nullptr;      // null: the snapshot is black
    bool SetUpDue = false;
    int64_t Ticks = 0;  // since the scenes were built
    PresentCounts Presented;
    bool Live = false;  // between OpenScene and CloseScene
};

class SceneSession;
uint32_t OpenScene(SceneSession& session, const SceneParts& parts, const SceneOptions& options);
uint32_t TickScene(SceneSession& session);
void RepaintScene(SceneSession& session, PixelRect update);
uint32_t RelayoutScene(SceneSession& session);
void CloseScene(SceneSession& session);

// The scenes of one window (or output, or canvas). A front end drives it with the verbs
// below and reads it only through these accessors.
class SceneSession {
public:
    // The whole picture, one buffer over every monitor's scene; empty before the opening, after
    // the closing, or when it could not be made.
    const Frame& Picture() const { return state_.Picture; }
    // What the picture shows, in the host's coordinates.
    const PixelRect& Screen() const { return state_.Screen; }
    // The scenes, the primary's first; each one's Area is its part of the picture.
    const std::vector<MonitorScene>& Scenes() const { return state_.Scenes; }
    // The primary's scene in the host's coordinates (the whole screen while there is none).
    PixelRect PrimaryRect() const;
    // Ticks since the scenes were built, and the milliseconds between ticks.
    int64_t Ticks() const { return state_.Ticks; }
    uint32_t Interval() const { return state_.Interval; }
    const PresentCounts& Presented() const { return state_.Presented; }
    // Between OpenScene and CloseScene.
    bool Live() const { return state_.Live; }

private:
    SceneSessionState state_;
    friend uint32_t OpenScene(SceneSession&, const SceneParts&, const SceneOptions&);
    friend uint32_t TickScene(SceneSession&);
    friend void RepaintScene(SceneSession&, PixelRect);
    friend uint32_t RelayoutScene(SceneSession&);
    friend void CloseScene(SceneSession&);
};

// Opens the scenes: measures, takes the snapshot (black when Desktop is off, and where no
// monitor is), seeds one scene per monitor (one for the preview) and, unless it waits for
// the first tick, sets them up. Answers the milliseconds until the first tick. Running out
// of memory leaves the picture still, with no wrigglets, where it struck.
uint32_t OpenScene(SceneSession& session, const SceneParts& parts, const SceneOptions& options);

// One tick: a set-up still due, every scene's steps and sound draws, then one present of
// the tiles they touched. Answers the milliseconds until the next tick, or 0 when no more
// ticks are wanted (the session is closed, or its tick limit reached).
uint32_t TickScene(SceneSession& session);

// A repaint: the snapshot goes back into the picture inside `update`, wiping the trails
// there, and that part is shown (nothing is shown when a stop cut the copy short).
void RepaintScene(SceneSession& session, PixelRect update);

// A new layout (a monitor came, went or changed, or the window changed size): the pictures
// and scenes are made again for what the host now reports, set up at once and shown whole.
// Over the desktop while the host can still see it, else over black. The looping sound
// goes on. The preview keeps its scene. Answers the milliseconds until the next tick, as
// TickScene does.
uint32_t RelayoutScene(SceneSession& session);

// Frees the fields and the pictures. A second call, and any verb after it, touches nothing.
void CloseScene(SceneSession& session);

}  // namespace wrigglet
