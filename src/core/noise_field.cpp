// The noise tile generator: each octave's lattice, blended along its rows and then down its
// columns with the cosine blends of core/octave_blend, summed and relief-shaded.
#include "core/noise_field.h"

#include <algorithm>
#include <vector>

#include "core/octave_blend.h"

namespace wrigglet {

namespace {

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
    const size_t pointStride = static_cast<size_t>(nx) + 1;
    std::vector<int16_t> points(pointStride * (ny + 1));
    auto point = [&](int32_t i, int32_t j) -> int16_t& { return points[static_cast<size_t>(j) * pointStride + i]; };
    for (int32_t j = 0; j <= ny; ++j)
        for (int32_t i = 0; i <= nx; ++i) point(i, j) = static_cast<int16_t>(Random(job.Random, 8u * h));
    for (int32_t j = 0; j <= ny; ++j) {
        for (int32_t i = 0; i <= nx; ++i) {
            if (j == ny) point(i, j) = point(i, 0);
            if (i == nx) point(i, j) = point(0, j);
        }
    }
    std::vector<int16_t> rows(stride * (ny + 1));
    std::vector<int32_t> blended(static_cast<size_t>(nx));
    for (int32_t j = 0; j <= ny; ++j) {
        const int16_t* left = &point(0, j);
        int16_t* row = rows.data() + stride * j;
        row[0] = left[0];
        for (int32_t k = 1; k <= h; ++k) {
            BlendRows(table, left, left + 1, blended.data(), nx, k);
            for (int32_t i = 0; i < nx; ++i) row[i * h + k] = static_cast<int16_t>(blended[i]);
        }
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
