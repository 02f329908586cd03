// The cosine blend without an extended floating-point type. The weights are the doubles a
// 64-bit-mantissa unit makes of the half cosine, kept as literals; each blend is rounded
// from exact integers (cells times weights scaled by 2^63) the way that unit rounds it.
// The hot loops read a per-octave table of rounded offsets and fall back to the exact blend
// only where the offset lies too near a half to be decided without the cells themselves.
#include "core/octave_blend.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace wrigglet {

namespace {

// weight(k, 64) for k = 0..64. pi * k / h is the same extended value as pi * (k * 64 / h) / 64
// (scaling by a power of two rounds alike), so spacing h reads every (64 / h)-th entry.
// clang-format off
constexpr double Spacing64Weights[65] = {
    0x0p+0, 0x1.3bc390d250439p-11, 0x1.3b92e176d6d31p-9, 0x1.62aa03dd6ba58p-8,
    0x1.3ad06011469fbp-7, 0x1.eb0208db9e51bp-7, 0x1.60bea939d225ap-6, 0x1.dedefb09791b4p-6,
    0x1.37ca1866b95cfp-5, 0x1.894285e19c468p-5, 0x1.e3a6873fa1279p-5, 0x1.235f2eb9a470ap-4,
    0x1.592675bc57974p-4, 0x1.9307ee031e2fdp-4, 0x1.d0dfe53aba2fdp-4, 0x1.09441bb2aa0a2p-3,
    0x1.2bec333018867p-3, 0x1.5052d96e626c1p-3, 0x1.76619b5edc454p-3, 0x1.9e010063d1f96p-3,
    0x1.c71898ca32e6fp-3, 0x1.f18f0cdba0025p-3, 0x1.0ea5163fc84e2p-2, 0x1.25177fb0f51ap-2,
    0x1.3c10eaca8ab4fp-2, 0x1.53832c52a7012p-2, 0x1.6b5fce895307dp-2, 0x1.83981a137a839p-2,
    0x1.9c1d1f0e5967dp-2, 0x1.b4dfbe45c67b1p-2, 0x1.cdd0b287ac97bp-2, 0x1.e6e09a0ef227fp-2,
    0x1p-1, 0x1.0c8fb2f886ec1p-1, 0x1.1917a6bc29b43p-1, 0x1.259020dd1cc27p-1,
    0x1.31f17078d34c1p-1, 0x1.3e33f2f642be3p-1, 0x1.4a5018bb567c1p-1, 0x1.563e69d6ac7f7p-1,
    0x1.61f78a9abaa59p-1, 0x1.6d7440278573p-1, 0x1.78ad74e01bd8fp-1, 0x1.839c3cc917ff7p-1,
    0x1.8e39d9cd73464p-1, 0x1.987fbfe70b81ap-1, 0x1.a267992848eebp-1, 0x1.abeb49a46765p-1,
    0x1.b504f333f9de6p-1, 0x1.bdaef913557d7p-1, 0x1.c5e40358a8bap-1, 0x1.cd9f023f9c3ap-1,
    0x1.d4db3148750d2p-1, 0x1.db941a28cb71fp-1, 0x1.e1c5978c05ed8p-1, 0x1.e76bd7a1e63b9p-1,
    0x1.ec835e79946a3p-1, 0x1.f1090827b4372p-1, 0x1.f4fa0ab6316edp-1, 0x1.f853f7dc9186cp-1,
    0x1.fb14be7fbae58p-1, 0x1.fd3aabf84528bp-1, 0x1.fec46d1e89293p-1, 0x1.ffb10f1bcb6bfp-1,
    0x1p+0,
};
// clang-format on

// Every weight is 0 or at least 2^-11, so its 53 significant bits end no lower than 2^-63:
// a weight times 2^63 is a whole number, and so is 1 - w scaled alike.
constexpr int FractionBits = 63;
constexpr uint64_t ScaledOne = uint64_t{1} << FractionBits;

// An unsigned 128-bit integer: a cell times a scaled weight needs up to 94 bits, and 32-bit
// targets have no built-in type that wide.
struct Wide {
    uint64_t High = 0;
    uint64_t Low = 0;
};

Wide Multiply(uint64_t x, uint32_t y) {
    const uint64_t low = (x & 0xFFFFFFFFu) * y;
    const uint64_t high = (x >> 32) * y;
    const uint64_t sum = low + (high << 32);
    return {(high >> 32) + (sum < low ? 1u : 0u), sum};
}

Wide Add(Wide x, Wide y) {
    const uint64_t low = x.Low + y.Low;
    return {x.High + y.High + (low < x.Low ? 1u : 0u), low};
}

int BitLength(Wide x) { return x.High != 0 ? 64 + std::bit_width(x.High) : std::bit_width(x.Low); }

// x / 2^bits rounded to the nearest integer, halves to even; 0 < bits < 64.
Wide RoundedShift(Wide x, int bits) {
    const uint64_t rest = x.Low & ((uint64_t{1} << bits) - 1);
    const uint64_t half = uint64_t{1} << (bits - 1);
    Wide quotient{x.High >> bits, (x.Low >> bits) | (x.High << (64 - bits))};
    if (rest > half || (rest == half && (quotient.Low & 1) != 0)) quotient = Add(quotient, {0, 1});
    return quotient;
}

// x rounded to 64 significant bits, halves to even: one operation of the extended unit.
Wide RoundToMantissa(Wide x) {
    const int drop = BitLength(x) - 64;
    if (drop <= 0) return x;
    const Wide kept = RoundedShift(x, drop);
    return {(kept.High << drop) | (kept.Low >> (64 - drop)), kept.Low << drop};
}

uint64_t ScaledWeight(double w) { return static_cast<uint64_t>(w * 0x1p63); }  // exact: a power of two

// The extended-precision blend differs from a + w(b - a) by three roundings of values below
// 2^10, under 2^-53 in all, so an exact w * d further than 2^-40 from a half decides it.
int16_t RoundedOffset(double w, int32_t d) {
    const Wide product = Multiply(ScaledWeight(w), static_cast<uint32_t>(std::abs(d)));
    const uint64_t fraction = product.Low & (ScaledOne - 1);
    const uint64_t half = ScaledOne >> 1;
    const uint64_t fromHalf = fraction > half ? fraction - half : half - fraction;
    if (fromHalf < (uint64_t{1} << (FractionBits - 40))) return UndecidedOffset;
    const auto nearest = static_cast<int16_t>(RoundedShift(product, FractionBits).Low);
    return d < 0 ? static_cast<int16_t>(-nearest) : nearest;
}

}  // namespace

double CosineWeight(int32_t k, int32_t h) { return Spacing64Weights[k * (64 / h)]; }

int32_t BlendCells(int32_t a, int32_t b, double w) {
    const uint64_t weight = ScaledWeight(w);
    const Wide first = RoundToMantissa(Multiply(ScaledOne - weight, static_cast<uint32_t>(a)));
    const Wide second = RoundToMantissa(Multiply(weight, static_cast<uint32_t>(b)));
    const Wide sum = RoundToMantissa(Add(first, second));
    return static_cast<int32_t>(RoundedShift(sum, FractionBits).Low);
}

BlendTable MakeBlendTable(int32_t h) {
    BlendTable table;
    table.Spacing = h;
    table.Range = 8 * h - 1;
    table.Weights.resize(static_cast<size_t>(h) + 1);
    for (int32_t k = 0; k <= h; ++k) table.Weights[k] = CosineWeight(k, h);
    const size_t width = static_cast<size_t>(2 * table.Range + 1);
    table.Offsets.resize(width * table.Weights.size());
    for (int32_t k = 0; k <= h; ++k) {
        int16_t* row = table.Offsets.data() + static_cast<size_t>(k) * width + table.Range;
        for (int32_t d = -table.Range; d <= table.Range; ++d) row[d] = RoundedOffset(table.Weights[k], d);
    }
    return table;
}

void BlendRows(const BlendTable& table, const int16_t* a, const int16_t* b, int32_t* out, int32_t count, int32_t k) {
    const double w = table.Weights[k];
    if (k == 0) {
        std::copy(a, a + count, out);
    } else if (w == 0.5) {
        // (a + b) / 2 is exact here, so the blend is that half rounded to even.
        for (int32_t x = 0; x < count; ++x) {
            const int32_t sum = a[x] + b[x];
            out[x] = (sum + ((sum >> 1) & 1)) >> 1;
        }
    } else {
        const int16_t* offsets = table.Row(k);
        for (int32_t x = 0; x < count; ++x) {
            const int16_t offset = offsets[b[x] - a[x]];
            out[x] = offset == UndecidedOffset ? BlendCells(a[x], b[x], w) : a[x] + offset;
        }
    }
}

}  // namespace wrigglet
