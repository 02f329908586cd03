// The relief-shaded, tileable value-noise tile that gives the trails their colours:
// six octaves of cosine-interpolated random lattices, summed with integer weights.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/field_grid.h"
#include "core/random.h"

namespace wrigglet {

inline constexpr int32_t MaxTileWidth = 1024;
inline constexpr int32_t MaxTileHeight = 768;
inline constexpr int32_t FirstOctave = 1;
inline constexpr int32_t LastOctave = 6;
// Lattice spacing of octave 0..7; the generator uses octaves 1..6 (spacings 2..64).
inline constexpr std::array<uint8_t, 8> OctaveSpacing{1, 2, 4, 8, 16, 32, 64, 128};

// The generator's own working tile: cells x = 0..Width, y = 0..Height, row-major, because
// the octaves are blended a whole row at a time. 16-bit cells hold every value it makes:
// octave sums up to 5115, shaded values 0..255, the last octave's 0..511.
struct NoiseTile {
    int32_t Width = 0;   // W: the tile's columns; the far column W is kept too
    int32_t Height = 0;  // H
    std::vector<int16_t> Cells;

    int16_t* Row(int32_t y) { return Cells.data() + static_cast<size_t>(y) * static_cast<size_t>(Width + 1); }
    const int16_t* Row(int32_t y) const {
        return Cells.data() + static_cast<size_t>(y) * static_cast<size_t>(Width + 1);
    }
    int16_t& At(int32_t x, int32_t y) { return Row(y)[x]; }
    int16_t At(int32_t x, int32_t y) const { return Row(y)[x]; }
};

// A zeroed tile of cells 0..width x 0..height.
void ResetNoiseTile(NoiseTile& tile, int32_t width, int32_t height);

// The largest cell of x = 0..W-1, y = 0..H-1, and at least 0.
int32_t FieldMaxOf(const NoiseTile& tile);

// Relief shading of the summed octaves in cells x < W, y < H (reading column W and row H
// too): brighter where the field rises towards larger x and y, scaled by FieldMax and
// clamped to 0..255; all 0 when FieldMax is 0. Column W and row H are left alone.
void ShadeRelief(NoiseTile& tile);

// Makes the tile for tileWidth x tileHeight clamped to at most 1024 x 768 (W x H): tile
// cells (x < W, y < H) get 0..255, column W and row H keep the last octave's interpolated
// values (0..511). Reseeds the generator first (Randomize), then draws one value per
// lattice point, octave by octave.
void GenerateNoiseTile(NoiseTile& tile, RandomGenerator& random, int32_t tileWidth, int32_t tileHeight);

// GenerateNoiseTile, then the tile's cells x = 0..W, y = 0..H copied into the grid's top
// left corner. A grid smaller than (W + 1) x (H + 1) is replaced by a zeroed one of that
// size; other cells of the grid are left alone.
void GenerateNoiseField(FieldGrid& grid, RandomGenerator& random, int32_t tileWidth, int32_t tileHeight);

}  // namespace wrigglet
