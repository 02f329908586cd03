// The reference scene: a plain, step-by-step transcription of the noise generator, the
// tiling, the set-up draws and the wrigglet step, with no optimisation at all. The real
// code must agree with it cell for cell and pixel for pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "core/random.h"
#include "core/saver_settings.h"

namespace wrigglet::oracle {

// Column-major cells, cell (x, y) at x * Rows + y; the scratch grid has the same geometry.
struct Grid {
    int32_t Columns = 0;
    int32_t Rows = 0;
    std::vector<int32_t> Cells;
    int32_t& Cell(int32_t x, int32_t y) { return Cells[static_cast<size_t>(x) * Rows + y]; }
};

double Weight(int32_t k, int32_t h);
int32_t Blend(int32_t a, int32_t b, double w);

// Generates the tile into a fresh grid of at least columns x rows.
void GenerateNoiseField(Grid& grid, RandomGenerator& random, int32_t columns, int32_t rows, int32_t tileWidth,
                        int32_t tileHeight);

struct Record {
    int32_t HeadX = 0, HeadY = 0, TailX = 0, TailY = 0;
    int32_t SegmentX[65] = {}, SegmentY[65] = {};  // 1..64
    int32_t Length = 0;
    int32_t Direction = 0;
};

struct Scene {
    int32_t SceneWidth = 0, SceneHeight = 0;
    int32_t TileWidth = 0, TileHeight = 0;
    int32_t MaxCount = 0, ActiveCount = 0;
    std::vector<Record> Wrigglets;  // slot i at index i (index 0 unused)
    uint8_t Ramp[256][3] = {};
    uint8_t Palette[512][3] = {};
    Grid Field;
    RandomGenerator Random;
    SaverSettings Settings;
    std::vector<int32_t> SoundsPlayed;
    std::vector<uint32_t> Picture;     // COLORREFs, W x H
    std::vector<uint32_t> Background;  // COLORREFs, W x H
};

// Seeds, then sets up as the saver does (text off); the picture starts as the background.
void CreateScene(Scene& scene, const SaverSettings& settings, int32_t width, int32_t height, uint32_t seed,
                 const std::vector<uint32_t>& background);

void WriggletStep(Scene& scene);
void FrameTick(Scene& scene);

}  // namespace wrigglet::oracle
