// The wrigglet step and the frame tick.
#include "core/wrigglet_step.h"

#include <algorithm>

namespace wrigglet {

int32_t StepsPerTick(int32_t speed) { return speed == 3 ? 4 : 1; }

namespace {

constexpr int32_t TrailGroupSize = 32;
constexpr uint32_t GrowthChance = 500;
constexpr uint32_t JoinChance = 64;
constexpr uint32_t SoundChangeChance = 10;

// Paints the position the body left, and the pixel below it, with the trail colours (group
// k reads the cells k to the right and k below) or, for erasers, with the background.
void RestoreTail(const SceneState& scene, Frame& frame, const WriggletRecord& w, int32_t slot) {
    const int32_t x = w.TailX;
    const int32_t y = w.TailY;
    if (slot < FirstEraser) {
        const int32_t k = slot / TrailGroupSize;
        SetFramePixel(frame, x, y, MakeRgb(scene.TrailPalette[scene.Field.At(x + k, y + k)]));
        SetFramePixel(frame, x, y + 1, MakeRgb(scene.TrailPalette[scene.Field.At(x + k, y + 1 + k)]));
    } else {
        SetFramePixel(frame, x, y, GetBackgroundPixel(frame, x, y));
        SetFramePixel(frame, x, y + 1, GetBackgroundPixel(frame, x, y + 1));
    }
}

// Moves the head one pixel along its heading unless an edge holds it; the body follows.
void Move(SceneState& scene, WriggletRecord& w) {
    const ScenePoint change = HeadingChange[w.Direction];
    const ScenePoint target{std::clamp(w.HeadX + change.X, 0, scene.SceneWidth),
                            std::clamp(w.HeadY + change.Y, 0, scene.SceneHeight)};
    if (target.X == w.HeadX && target.Y == w.HeadY) return;
    const ScenePoint tail = Segment(w, w.Length);
    w.TailX = tail.X;
    w.TailY = tail.Y;
    w.FirstSegment = static_cast<uint8_t>((w.FirstSegment - 1) & (MaxLength - 1));
    SetSegment(w, 1, {w.HeadX, w.HeadY});
    w.HeadX = target.X;
    w.HeadY = target.Y;
    if (w.Length < MaxLength && Random(scene.Generator, GrowthChance) == 0) {
        ++w.Length;
        SetSegment(w, w.Length, tail);
    }
}

void Turn(SceneState& scene, WriggletRecord& w) {
    int32_t direction = w.Direction - 1 + static_cast<int32_t>(Random(scene.Generator, 3));
    if (direction == 0) direction = 8;
    if (direction == 9) direction = 1;
    w.Direction = static_cast<uint8_t>(direction);
}

void StepWrigglet(SceneState& scene, Frame& frame, int32_t slot) {
    WriggletRecord& w = scene.WriggletList[static_cast<size_t>(slot) - 1];
    RestoreTail(scene, frame, w, slot);
    SetFramePixel(frame, w.HeadX, w.HeadY + 1, ShadowColour);
    SetFramePixel(frame, w.HeadX, w.HeadY, BodyColour);
    Move(scene, w);
    SetFramePixel(frame, w.HeadX, w.HeadY, HeadColour);
    SetFramePixel(frame, w.TailX, w.TailY, BodyColour);
    Turn(scene, w);
}

}  // namespace

void WriggletStep(SceneState& scene, Frame& frame) {
    const int32_t active = scene.ActiveCount;
    for (int32_t slot = 1; slot <= active; ++slot) StepWrigglet(scene, frame, slot);
    if (Random(scene.Generator, JoinChance) == 0 && scene.ActiveCount < scene.MaxCount) ++scene.ActiveCount;
}

void FrameTick(SceneState& scene, Frame& frame, SoundPlayer* sound) {
    const int32_t steps = StepsPerTick(scene.Settings.Speed);
    for (int32_t step = 0; step < steps; ++step) WriggletStep(scene, frame);
    if (!scene.Settings.Sound || Random(scene.Generator, SoundChangeChance) != 0) return;
    const int32_t resource = FirstSoundResource + static_cast<int32_t>(Random(scene.Generator, SoundResourceCount));
    if (sound) sound->PlayLooping(resource);
}

}  // namespace wrigglet
