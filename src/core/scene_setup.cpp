// Scene set-up: population, colour tables, tiled noise field, starting sound, imprint.
#include "core/scene_setup.h"

#include <algorithm>
#include <cstring>

#include "core/noise_field.h"

namespace wrigglet {

TileSize TileSizeFor(int32_t sceneWidth, int32_t sceneHeight) {
    return {(sceneWidth + 63) / 64 * 32, (sceneHeight + 63) / 64 * 32};
}

int32_t MaxCountFor(int32_t wrigglets) {
    switch (wrigglets) {
        case 1:
            return 64;
        case 2:
            return 128;
        case 3:
            return 512;
        default:
            return 0;
    }
}

int32_t StartCountFor(int32_t wrigglets) {
    switch (wrigglets) {
        case 1:
            return 1;
        case 2:
            return 16;
        case 3:
            return 64;
        default:
            return 0;
    }
}

uint32_t SceneTimerInterval(bool isPreview, int32_t speed) {
    if (isPreview) return 70;
    return speed == 1 ? 80 : 40;
}

void BuildRampTable(SceneState& scene) {
    auto& ramp = scene.RampTable;
    auto u8 = [](int32_t v) { return static_cast<uint8_t>(v); };
    for (int32_t i = 0; i < 64; ++i) ramp[i] = {u8(i), 0, 0};
    for (int32_t i = 0; i < 64; ++i) ramp[64 + i] = {u8(64 + 2 * i), 0, 0};
    for (int32_t i = 0; i < 64; ++i) ramp[128 + i] = {u8(192 + i), u8(i), u8(i / 2)};
    for (int32_t i = 0; i < 32; ++i) ramp[192 + i] = {255, u8(255 - 4 * i), u8(224 - 4 * i)};
    for (int32_t i = 0; i < 32; ++i) ramp[224 + i] = {255, u8(128 + 2 * i), u8(96 + 3 * i)};
}

void BuildTrailPalette(SceneState& scene) {
    for (int32_t n = 0; n < 256; ++n) {
        const RgbEntry e = scene.RampTable[n];
        scene.TrailPalette[n] = e;
        scene.TrailPalette[256 + n] = {static_cast<uint8_t>((e.Red + 672) / 4),
                                       static_cast<uint8_t>((e.Green + 768) / 4),
                                       static_cast<uint8_t>((e.Blue + 576) / 4)};
    }
}

bool TileField(SceneState& scene, const StopRequest& stop) {
    FieldGrid& grid = scene.Field;
    const int32_t columns = scene.SceneWidth + FieldMarginColumns + 1;
    const int32_t rows = scene.SceneHeight + FieldMarginRows + 1;
    const int32_t tileWidth = scene.TileWidth;
    const int32_t tileHeight = scene.TileHeight;
    if (tileWidth <= 0 || tileHeight <= 0) return true;
    // Each column starts as a copy of its tile column, then repeats its first tile height
    // downwards; tile columns themselves are only ever read.
    for (int32_t x = 0; x < columns; ++x) {
        if (StopDue(stop)) return false;
        FieldCell* column = grid.Column(x);
        if (x >= tileWidth)
            std::memcpy(column, grid.Column(x % tileWidth),
                        sizeof(FieldCell) * static_cast<size_t>(std::min(rows, tileHeight)));
        for (int32_t y = tileHeight; y < rows; y += tileHeight)
            std::memcpy(column + y, column, sizeof(FieldCell) * static_cast<size_t>(std::min(tileHeight, rows - y)));
    }
    return true;
}

namespace {

void PlaceWrigglets(SceneState& scene, int32_t wrigglets) {
    scene.MaxCount = MaxCountFor(wrigglets);
    scene.CentreX = scene.SceneWidth / 2;
    scene.CentreY = scene.SceneHeight / 2;
    scene.WriggletList.assign(static_cast<size_t>(scene.MaxCount), WriggletRecord{});
    const ScenePoint centre{scene.CentreX, scene.CentreY};
    for (WriggletRecord& w : scene.WriggletList) {
        w.HeadX = w.TailX = centre.X;
        w.HeadY = w.TailY = centre.Y;
        w.Length = StartLength;
        for (int32_t j = 1; j <= StartLength; ++j) SetSegment(w, j, centre);
        w.Direction = static_cast<uint8_t>(Random(scene.Generator, 8) + 1);
    }
    scene.ActiveCount = StartCountFor(wrigglets);
}

// The noise tile is at most 1024 x 768 and takes a few tens of milliseconds whatever the
// scene, so only the grid and the tiling, which grow with the scene, are asked within.
bool MakeField(SceneState& scene, const StopRequest& stop) {
    const TileSize tile = TileSizeFor(scene.SceneWidth, scene.SceneHeight);
    scene.TileWidth = std::min(tile.Width, MaxTileWidth);
    scene.TileHeight = std::min(tile.Height, MaxTileHeight);
    if (!ResetFieldGrid(scene.Field, std::max(scene.SceneWidth + FieldMarginColumns + 1, scene.TileWidth + 1),
                        std::max(scene.SceneHeight + FieldMarginRows + 1, scene.TileHeight + 1), stop) ||
        StopDue(stop))
        return false;
    GenerateNoiseField(scene.Field, scene.Generator, tile.Width, tile.Height);
    return TileField(scene, stop);
}

bool Stopped(SceneState& scene) {
    ReleaseScene(scene);
    return false;
}

}  // namespace

bool SceneSetup(SceneState& scene, const SaverSettings& settings, int32_t width, int32_t height, SoundPlayer* sound,
                TextRasteriser* text, const StopRequest& stop) {
    ReleaseScene(scene);
    scene.Settings = settings;
    scene.SceneWidth = std::max(width, 0);
    scene.SceneHeight = std::max(height, 0);
    const bool empty = scene.SceneWidth == 0 || scene.SceneHeight == 0;
    if (!empty) PlaceWrigglets(scene, settings.Wrigglets);
    BuildRampTable(scene);
    BuildTrailPalette(scene);
    if (!empty && !MakeField(scene, stop)) return Stopped(scene);
    if (settings.Sound) {
        const int32_t resource = FirstSoundResource + static_cast<int32_t>(Random(scene.Generator, SoundResourceCount));
        if (sound) sound->PlayLooping(resource);
    }
    if (settings.Text && text && !empty && (StopDue(stop) || !ImprintText(scene, *text, stop))) return Stopped(scene);
    return true;
}

void CreateScene(SceneState& scene, const SaverSettings& settings, int32_t width, int32_t height, SoundPlayer* sound,
                 TextRasteriser* text) {
    Randomize(scene.Generator);
    SceneSetup(scene, settings, width, height, sound, text);
}

void ReleaseScene(SceneState& scene) {
    ReleaseFieldGrid(scene.Field);
    scene.WriggletList.clear();
    scene.WriggletList.shrink_to_fit();
    scene.MaxCount = 0;
    scene.ActiveCount = 0;
    scene.TileWidth = 0;
    scene.TileHeight = 0;
}

}  // namespace wrigglet
