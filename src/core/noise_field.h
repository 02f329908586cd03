// The relief-shaded, tileable value-noise tile that gives the trails their colours:
// six octaves of cosine-interpolated random lattices, summed with integer weights.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "core/field_grid.h"
#include "core/random.h"

namespace wrigglet {

// The weights and blends are defined with a 64-bit mantissa; results must not depend on
// the compiler, so both the native build and MinGW must use the x87 extended type.
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the 80-bit x87 type (64-bit mantissa)");

inline constexpr int32_t MaxTileWidth = 1024;
inline constexpr int32_t MaxTileHeight = 768;
inline constexpr int32_t FirstOctave = 1;
inline constexpr int32_t LastOctave = 6;
// Lattice spacing of octave 0..7; the generator uses octaves 1..6 (spacings 2..64).
inline constexpr std::array<uint8_t, 8> OctaveSpacing{1, 2, 4, 8, 16, 32, 64, 128};

// weight(k, h) = (1 - cos(pi * k / h)) / 2, evaluated with a 64-bit mantissa and stored as
// a double; exact 0, 0.5 and 1 at k = 0, h/2 and h.
double CosineWeight(int32_t k, int32_t h);

// round((1 - w) * a + w * b), evaluated with a 64-bit mantissa, halves to even.
int32_t BlendCells(int32_t a, int32_t b, double w);

// The largest cell of x = 0..width-1, y = 0..height-1, and at least 0.
int32_t FieldMaxOf(const FieldGrid& grid, int32_t width, int32_t height);

// Relief shading of the summed octaves in cells x < width, y < height (reading column
// `width` and row `height` too): brighter where the field rises towards larger x and y,
// scaled by FieldMax and clamped to 0..255; all 0 when FieldMax is 0.
void ShadeRelief(FieldGrid& grid, int32_t width, int32_t height);

// Fills cells x = 0..W, y = 0..H of the grid (W x H the tile size clamped to at most
// 1024 x 768): tile cells (x < W, y < H) get 0..255, column W and row H keep the last
// octave's interpolated values (0..511). Reseeds the generator first (Randomize), then
// draws one value per lattice point. A grid smaller than (W + 1) x (H + 1) is replaced by
// a zeroed one of that size; other cells of the grid are left alone.
void GenerateNoiseField(FieldGrid& grid, RandomGenerator& random, int32_t tileWidth, int32_t tileHeight);

}  // namespace wrigglet
