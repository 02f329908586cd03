// The animation: one step of every active wrigglet, and the frame tick that runs the
// steps and now and then changes the looping sound.
#pragma once

#include <array>
#include <cstdint>

#include "core/colour.h"
#include "core/frame.h"
#include "core/scene_state.h"
#include "core/sound_player.h"

namespace wrigglet {

inline constexpr ColorRef HeadColour = MakePaletteRgb(255, 255, 255);
inline constexpr ColorRef BodyColour = MakePaletteRgb(255, 240, 192);
inline constexpr ColorRef ShadowColour = MakePaletteRgb(128, 64, 0);

// Column and row change of Direction 1..8 (clockwise from up-left; entry 0 unused).
inline constexpr std::array<ScenePoint, 9> HeadingChange{
    {{0, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}}};

// Wrigglets from this slot on wipe their trail back to the background.
inline constexpr int32_t FirstEraser = 256;

// Speed 3 (Turbo) runs four steps per tick; every other value one.
int32_t StepsPerTick(int32_t speed);

// Moves and draws wrigglets 1..ActiveCount (six pixel writes each), then perhaps lets one
// more wrigglet join. Draws: per wrigglet the growth draw (only when it moved and is
// shorter than 64) and the turn draw; then the population draw.
void WriggletStep(SceneState& scene, Frame& frame);

// One tick: the steps, then with Sound on one draw of 1 in 10 to start another
// looping sound (sound may be null; the draws still happen).
void FrameTick(SceneState& scene, Frame& frame, SoundPlayer* sound);

}  // namespace wrigglet
