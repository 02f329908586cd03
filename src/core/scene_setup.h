// Building a scene: the wrigglet population, the colour tables, the noise field tiled over
// the scene, the starting sound and the text imprint.
#pragma once

#include <cstdint>

#include "core/saver_settings.h"
#include "core/scene_state.h"
#include "core/sound_player.h"
#include "core/stop_request.h"
#include "core/text_imprint.h"

namespace wrigglet {

struct TileSize {
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TileSize&, const TileSize&) = default;
};

// About half the scene each way, rounded up to a multiple of 32: ((n + 63) div 64) * 32.
TileSize TileSizeFor(int32_t sceneWidth, int32_t sceneHeight);

// Population ceiling and starting population for a Wrigglets setting (1: 64/1, 2: 128/16,
// 3: 512/64, anything else 0/0).
int32_t MaxCountFor(int32_t wrigglets);
int32_t StartCountFor(int32_t wrigglets);

// The time between ticks in milliseconds: 70 in the preview, else 80 for Speed 1 and
// 40 for any other value.
uint32_t SceneTimerInterval(bool isPreview, int32_t speed);

void BuildRampTable(SceneState& scene);
void BuildTrailPalette(SceneState& scene);  // needs the RampTable

// Repeats the tile (cells 0..tileWidth-1 x 0..tileHeight-1) over cells
// x = 0..SceneWidth + 7, y = 0..SceneHeight + 8, in place, asking `stop` before each column;
// false when it stopped.
bool TileField(SceneState& scene, const StopRequest& stop = {});

// The set-up of a scene of width x height pixels (negative counts as 0) with the given
// settings, drawing from scene.Generator as seeded by the caller: records at the centre
// with one heading draw each, colour tables, the noise tile (which reseeds the generator),
// the tiling, one sound draw and PlaySound when Sound is on (sound may be null: the draw
// still happens), and the imprint when Text is on and a rasteriser is given. An empty
// scene gets no field and no wrigglets. Replaces whatever the scene held before.
// `stop` is asked between the phases and within the long ones; once it answers true the
// scene is released (no field, no wrigglets) and the answer is false.
bool SceneSetup(SceneState& scene, const SaverSettings& settings, int32_t width, int32_t height, SoundPlayer* sound,
                TextRasteriser* text, const StopRequest& stop = {});

// Scene creation as the saver window does it: seed from the time of day, then set up.
void CreateScene(SceneState& scene, const SaverSettings& settings, int32_t width, int32_t height, SoundPlayer* sound,
                 TextRasteriser* text);

// Frees the field and the records; safe to call more than once.
void ReleaseScene(SceneState& scene);

}  // namespace wrigglet
