// The cosine blend of two noise cells at one step of an octave: a table of weights and an
// exact integer rounding that give, on every machine, the integers of a 64-bit-mantissa unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wrigglet {

// weight(k, h) = (1 - cos(pi * k / h)) / 2, as a 64-bit-mantissa unit evaluates it and
// rounds it to a double, for a spacing h of 2, 4, ..., 64 and a step k of 0..h; exact 0,
// 0.5 and 1 at k = 0, h/2 and h.
double CosineWeight(int32_t k, int32_t h);

// round((1 - w) * a + w * b) with every operation rounded to a 64-bit mantissa and the
// integer nearest, halves to even, as the x87 unit does; for cells a, b >= 0 and a w of
// 0..1 that is a whole multiple of 2^-63, as every weight above is.
int32_t BlendCells(int32_t a, int32_t b, double w);

// Marks a (k, d) whose rounded offset can't be decided without a and b themselves.
inline constexpr int16_t UndecidedOffset = INT16_MIN;

// For one octave (spacing h), the blend of a and b at step k is a + Offset(k, b - a) unless
// the entry is UndecidedOffset. Lattice values are 0..8h-1, so |b - a| < 8h.
struct BlendTable {
    int32_t Spacing = 0;
    int32_t Range = 0;  // largest |b - a|
    std::vector<double> Weights;
    std::vector<int16_t> Offsets;

    const int16_t* Row(int32_t k) const {
        return Offsets.data() + static_cast<size_t>(k) * static_cast<size_t>(2 * Range + 1) + Range;
    }
};

BlendTable MakeBlendTable(int32_t h);

// out[x] = the blend of a[x] and b[x] at step k, for x = 0..count-1; cells 0..8h-1.
void BlendRows(const BlendTable& table, const int16_t* a, const int16_t* b, int32_t* out, int32_t count, int32_t k);

}  // namespace wrigglet
