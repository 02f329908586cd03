// The noise tile generator. Every interpolated value is the 64-bit-mantissa blend of
// CosineWeight/BlendCells; the hot loops reach the same integers through a per-octave
// table of rounded offsets, falling back to the extended-precision blend wherever the
// offset lies too near a rounding boundary to be decided in advance.
#include "core/noise_field.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace wrigglet {

double CosineWeight(int32_t k, int32_t h) {
    const long double pi = std::numbers::pi_v<long double>;
    const long double angle = pi * static_cast<long double>(k) / static_cast<long double>(h);
    return static_cast<double>((1.0L - std::cos(angle)) / 2.0L);
}

int32_t BlendCells(int32_t a, int32_t b, double w) {
    const long double lw = w;
    const long double value = (1.0L - lw) * static_cast<long double>(a) + lw * static_cast<long double>(b);
    return static_cast<int32_t>(std::lrint(value));  // the default rounding: nearest, halves to even
}

namespace {

// Marks a (k, d) whose rounded offset can't be decided without a and b themselves.
constexpr int16_t UndecidedOffset = INT16_MIN;

// For one octave (spacing h): the blend of a and b at step k equals a + Offset(k, b - a)
// unless the entry is UndecidedOffset. Lattice values are 0..8h-1, so |b - a| < 8h.
struct BlendTable {
    int32_t Spacing = 0;
    int32_t Range = 0;  // largest |b - a|
    std::vector<double> Weights;
    std::vector<int16_t> Offsets;

    const int16_t* Row(int32_t k) const {
        return Offsets.data() + static_cast<size_t>(k) * static_cast<size_t>(2 * Range + 1) + Range;
    }
};

// The extended-precision blend differs from a + w(b - a) by far less than 2^-40 for cell
// values below 2^10, so an offset further than that from a half decides the rounding.
int16_t RoundedOffset(double w, int32_t d) {
    const long double product = static_cast<long double>(w) * d;
    const long nearest = std::lrint(product);
    if (0.5L - std::fabs(product - static_cast<long double>(nearest)) < 0x1p-40L) return UndecidedOffset;
    return static_cast<int16_t>(nearest);
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

int32_t BlendAt(const BlendTable& table, int32_t a, int32_t b, int32_t k) {
    const int16_t offset = table.Row(k)[b - a];
    return offset == UndecidedOffset ? BlendCells(a, b, table.Weights[k]) : a + offset;
}

// out[x] = blend of a[x] and b[x] at step k, for x = 0..count-1.
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

struct TileJob {
    NoiseTile& Tile;
    RandomGenerator& Random;
    int32_t Width;                        // W: tile columns; cells 0..W are filled
    int32_t Height;                       // H
    std::vector<int32_t> LastEdgeRow;     // the last octave's row H, x = 0..W
    std::vector<int32_t> LastEdgeColumn;  // the last octave's column W, y = 0..H
};

// One octave's lattice rows after the wrap and the blends along each row:
// rows[j][x] for j = 0..ny and x = 0..nx*h.
std::vector<int16_t> LatticeRows(TileJob& job, const BlendTable& table, int32_t nx, int32_t ny) {
    const int32_t h = table.Spacing;
    const size_t stride = static_cast<size_t>(nx) * h + 1;
    std::vector<int32_t> points(static_cast<size_t>(nx + 1) * (ny + 1));
    auto point = [&](int32_t i, int32_t j) -> int32_t& { return points[static_cast<size_t>(j) * (nx + 1) + i]; };
    for (int32_t j = 0; j <= ny; ++j)
        for (int32_t i = 0; i <= nx; ++i) point(i, j) = static_cast<int32_t>(Random(job.Random, 8u * h));
    for (int32_t j = 0; j <= ny; ++j) {
        for (int32_t i = 0; i <= nx; ++i) {
            if (j == ny) point(i, j) = point(i, 0);
            if (i == nx) point(i, j) = point(0, j);
        }
    }
    std::vector<int16_t> rows(stride * (ny + 1));
    for (int32_t j = 0; j <= ny; ++j) {
        int16_t* row = rows.data() + stride * j;
        row[0] = static_cast<int16_t>(point(0, j));
        for (int32_t i = 0; i < nx; ++i)
            for (int32_t k = 1; k <= h; ++k)
                row[i * h + k] = static_cast<int16_t>(BlendAt(table, point(i, j), point(i + 1, j), k));
    }
    return rows;
}

// Adds octave o's interpolated values, times o, to cells x = 0..W, y = 0..H.
void AddOctave(TileJob& job, int32_t octave, bool last) {
    const int32_t h = OctaveSpacing[octave];
    const int32_t nx = (job.Width + h - 1) / h;
    const int32_t ny = (job.Height + h - 1) / h;
    const BlendTable table = MakeBlendTable(h);
    const std::vector<int16_t> rows = LatticeRows(job, table, nx, ny);
    const size_t stride = static_cast<size_t>(nx) * h + 1;
    const int32_t count = job.Width + 1;
    std::vector<int32_t> values(count);
    for (int32_t y = 0; y <= job.Height; ++y) {
        const int32_t j = y / h;
        const int32_t k = y % h;
        const int16_t* above = rows.data() + stride * j;
        const int16_t* below = k == 0 ? above : above + stride;
        BlendRows(table, above, below, values.data(), count, k);
        int16_t* cells = job.Tile.Row(y);
        for (int32_t x = 0; x < count; ++x) cells[x] = static_cast<int16_t>(cells[x] + octave * values[x]);
        if (last) {
            job.LastEdgeColumn[y] = values[job.Width];
            if (y == job.Height) job.LastEdgeRow = values;
        }
    }
}

void AddOctaves(TileJob& job, int32_t first, int32_t last) {
    for (int32_t octave = first; octave <= last; ++octave) AddOctave(job, octave, octave == last);
}

}  // namespace

void ResetNoiseTile(NoiseTile& tile, int32_t width, int32_t height) {
    tile.Width = std::max(width, 0);
    tile.Height = std::max(height, 0);
    tile.Cells.assign(static_cast<size_t>(tile.Width + 1) * static_cast<size_t>(tile.Height + 1), 0);
}

int32_t FieldMaxOf(const NoiseTile& tile) {
    int32_t fieldMax = 0;
    for (int32_t y = 0; y < tile.Height; ++y) {
        const int16_t* cells = tile.Row(y);
        for (int32_t x = 0; x < tile.Width; ++x) fieldMax = std::max<int32_t>(fieldMax, cells[x]);
    }
    return fieldMax;
}

// Row by row in place: row y reads rows y and y + 1 before either is shaded, so the result
// equals shading from an untouched copy.
void ShadeRelief(NoiseTile& tile) {
    const int32_t fieldMax = FieldMaxOf(tile);
    std::vector<int16_t> shaded(static_cast<size_t>(tile.Width));
    // (f * s) div fieldMax: |f * s| < 2^27, so the double quotient never crosses an integer
    // that the exact quotient doesn't reach, and truncation gives the same result.
    const double reciprocal = fieldMax > 0 ? 1.0 / fieldMax : 0.0;
    for (int32_t y = 0; y < tile.Height; ++y) {
        int16_t* row = tile.Row(y);
        const int16_t* next = tile.Row(y + 1);
        for (int32_t x = 0; x < tile.Width; ++x) {
            const int32_t f = row[x];
            const int32_t s = std::min(next[x] + row[x + 1] + next[x + 1] - 3 * f + 192, 288);
            const int32_t v = static_cast<int32_t>(static_cast<double>(f * s) * reciprocal);
            shaded[x] = static_cast<int16_t>(std::clamp(v, 0, 255));
        }
        std::copy(shaded.begin(), shaded.end(), row);
    }
}

void GenerateNoiseTile(NoiseTile& tile, RandomGenerator& random, int32_t tileWidth, int32_t tileHeight) {
    Randomize(random);
    const int32_t width = std::clamp(tileWidth, 0, MaxTileWidth);
    const int32_t height = std::clamp(tileHeight, 0, MaxTileHeight);
    ResetNoiseTile(tile, width, height);
    TileJob job{tile, random, width, height, {}, std::vector<int32_t>(static_cast<size_t>(height) + 1)};
    AddOctaves(job, FirstOctave, LastOctave);
    ShadeRelief(tile);
    for (int32_t y = 0; y <= height; ++y) tile.At(width, y) = static_cast<int16_t>(job.LastEdgeColumn[y]);
    int16_t* lastRow = tile.Row(height);
    for (int32_t x = 0; x <= width; ++x) lastRow[x] = static_cast<int16_t>(job.LastEdgeRow[x]);
}

void GenerateNoiseField(FieldGrid& grid, RandomGenerator& random, int32_t tileWidth, int32_t tileHeight) {
    NoiseTile tile;
    GenerateNoiseTile(tile, random, tileWidth, tileHeight);
    if (grid.Width < tile.Width + 1 || grid.Height < tile.Height + 1)
        ResetFieldGrid(grid, std::max(grid.Width, tile.Width + 1), std::max(grid.Height, tile.Height + 1));
    for (int32_t x = 0; x <= tile.Width; ++x) {
        FieldCell* column = grid.Column(x);
        for (int32_t y = 0; y <= tile.Height; ++y) column[y] = static_cast<FieldCell>(tile.At(x, y));
    }
}

}  // namespace wrigglet
