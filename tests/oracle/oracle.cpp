// The reference scene, transcribed step by step.
#include "oracle.h"

#include <algorithm>
#include <cmath>

namespace wrigglet::oracle {

double Weight(int32_t k, int32_t h) {
    long double pi = 3.14159265358979323846264338327950288L;
    long double product = pi * k;
    long double quotient = product / h;
    long double cosine = cosl(quotient);
    long double difference = 1.0L - cosine;
    long double half = difference / 2.0L;
    return (double)half;
}

int32_t Blend(int32_t a, int32_t b, double w) {
    long double lw = w;
    long double value = (1.0L - lw) * (long double)a + lw * (long double)b;
    return (int32_t)nearbyintl(value);
}

namespace {

const int32_t Spacing[8] = {1, 2, 4, 8, 16, 32, 64, 128};

struct Generator {
    Grid* Field;
    Grid Scratch;
    RandomGenerator* Random;
    int32_t W = 0, H = 0;
    double Weights[129][129] = {};
};

void AddOctaves(Generator& g, int32_t first, int32_t last) {
    for (int32_t k = 0; k <= 128; k++)
        for (int32_t h = 1; h <= 128; h++) g.Weights[k][h] = Weight(k, h);
    g.Scratch.Columns = g.Field->Columns;
    g.Scratch.Rows = g.Field->Rows;
    g.Scratch.Cells.assign(g.Field->Cells.size(), 0);
    Grid& s = g.Scratch;
    for (int32_t o = first; o <= last; o++) {
        int32_t h = Spacing[o];
        int32_t nx = (g.W + h - 1) / h;
        int32_t ny = (g.H + h - 1) / h;
        for (int32_t j = 0; j <= ny; j++)
            for (int32_t i = 0; i <= nx; i++) s.Cell(i * h, j * h) = (int32_t)Random(*g.Random, 8 * h);
        for (int32_t j = 0; j <= ny; j++)
            for (int32_t i = 0; i <= nx; i++) {
                if (j == ny) s.Cell(i * h, j * h) = s.Cell(i * h, 0);
                if (i == nx) s.Cell(i * h, j * h) = s.Cell(0, j * h);
            }
        for (int32_t j = 0; j <= ny; j++) {
            int32_t y = j * h;
            for (int32_t i = 0; i <= nx - 1; i++) {
                int32_t x0 = i * h;
                for (int32_t k = 0; k <= h; k++) {
                    int32_t a = s.Cell(x0, y);
                    int32_t b = s.Cell(x0 + h, y);
                    s.Cell(x0 + k, y) = Blend(a, b, g.Weights[k][h]);
                }
            }
        }
        for (int32_t j = 0; j <= ny - 1; j++) {
            int32_t y0 = j * h;
            for (int32_t x = 0; x <= g.W; x++)
                for (int32_t k = 0; k <= h; k++) {
                    int32_t a = s.Cell(x, y0);
                    int32_t b = s.Cell(x, y0 + h);
                    s.Cell(x, y0 + k) = Blend(a, b, g.Weights[k][h]);
                }
        }
        for (int32_t y = 0; y <= g.H; y++)
            for (int32_t x = 0; x <= g.W; x++) g.Field->Cell(x, y) += o * s.Cell(x, y);
    }
}

}  // namespace

void GenerateNoiseField(Grid& grid, RandomGenerator& random, int32_t columns, int32_t rows, int32_t tileWidth,
                        int32_t tileHeight) {
    Randomize(random);
    Generator g;
    g.Field = &grid;
    g.Random = &random;
    g.W = tileWidth;
    g.H = tileHeight;
    if (g.W > 1024) g.W = 1024;
    if (g.H > 768) g.H = 768;
    // Room for every octave's lattice, which reaches up to 63 cells past the tile.
    grid.Columns = std::max(columns, g.W + 65);
    grid.Rows = std::max(rows, g.H + 65);
    grid.Cells.assign((size_t)grid.Columns * grid.Rows, 0);
    for (int32_t x = 0; x <= g.W; x++)
        for (int32_t y = 0; y <= g.H; y++) grid.Cell(x, y) = 0;
    AddOctaves(g, 1, 6);
    int32_t fieldMax = 0;
    for (int32_t y = 0; y <= g.H - 1; y++)
        for (int32_t x = 0; x <= g.W - 1; x++)
            if (grid.Cell(x, y) > fieldMax) fieldMax = grid.Cell(x, y);
    for (int32_t y = 0; y <= g.H - 1; y++)
        for (int32_t x = 0; x <= g.W - 1; x++) {
            int32_t f = grid.Cell(x, y);
            int32_t s = grid.Cell(x, y + 1) + grid.Cell(x + 1, y) + grid.Cell(x + 1, y + 1) - 3 * f + 192;
            if (s > 288) s = 288;
            int32_t v = fieldMax == 0 ? 0 : (f * s) / fieldMax;
            if (v < 0) v = 0;
            if (v > 255) v = 255;
            g.Scratch.Cell(x, y) = v;
        }
    for (int32_t y = 0; y <= g.H; y++)
        for (int32_t x = 0; x <= g.W; x++) grid.Cell(x, y) = g.Scratch.Cell(x, y);
}

namespace {

void SetPixelV(Scene& scene, int32_t x, int32_t y, uint32_t color) {
    if (x < 0 || y < 0 || x >= scene.SceneWidth || y >= scene.SceneHeight) return;
    scene.Picture[(size_t)y * scene.SceneWidth + x] = color & 0xFFFFFF;
}

uint32_t GetPixel(Scene& scene, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= scene.SceneWidth || y >= scene.SceneHeight) return 0xFFFFFFFF;
    return scene.Background[(size_t)y * scene.SceneWidth + x];
}

uint32_t Rgb(int32_t r, int32_t g, int32_t b) { return (uint32_t)r | (uint32_t)g << 8 | (uint32_t)b << 16; }
uint32_t PaletteRgb(int32_t r, int32_t g, int32_t b) { return Rgb(r, g, b) | 0x2000000; }

void SetEntry(uint8_t* entry, int32_t r, int32_t g, int32_t b) {
    entry[0] = (uint8_t)r;
    entry[1] = (uint8_t)g;
    entry[2] = (uint8_t)b;
}

}  // namespace

void CreateScene(Scene& scene, const SaverSettings& settings, int32_t width, int32_t height, uint32_t seed,
                 const std::vector<uint32_t>& background) {
    scene.Random.TimeOfDay = FixedTimeOfDay(seed);
    Randomize(scene.Random);
    scene.Settings = settings;
    scene.SceneWidth = width;
    scene.SceneHeight = height;
    scene.Background = background;
    scene.Picture = background;
    int32_t maxCount = 0, activeCount = 0;
    if (settings.Wrigglets == 1) {
        maxCount = 64;
        activeCount = 1;
    }
    if (settings.Wrigglets == 2) {
        maxCount = 128;
        activeCount = 16;
    }
    if (settings.Wrigglets == 3) {
        maxCount = 512;
        activeCount = 64;
    }
    scene.MaxCount = maxCount;
    int32_t cx = width / 2, cy = height / 2;
    scene.Wrigglets.assign(maxCount + 1, Record{});
    for (int32_t i = 1; i <= maxCount; i++) {
        Record& w = scene.Wrigglets[i];
        w.HeadX = cx;
        w.HeadY = cy;
        w.Length = 5;
        for (int32_t j = 1; j <= 5; j++) {
            w.SegmentX[j] = cx;
            w.SegmentY[j] = cy;
        }
        w.TailX = cx;
        w.TailY = cy;
        w.Direction = (int32_t)Random(scene.Random, 8) + 1;
    }
    scene.ActiveCount = activeCount;
    for (int32_t i = 0; i < 64; i++) SetEntry(scene.Ramp[i], i, 0, 0);
    for (int32_t i = 0; i < 64; i++) SetEntry(scene.Ramp[64 + i], 64 + 2 * i, 0, 0);
    for (int32_t i = 0; i < 64; i++) SetEntry(scene.Ramp[128 + i], 192 + i, i, i / 2);
    for (int32_t i = 0; i < 32; i++) SetEntry(scene.Ramp[192 + i], 255, 255 - 4 * i, 224 - 4 * i);
    for (int32_t i = 0; i < 32; i++) SetEntry(scene.Ramp[224 + i], 255, 128 + 2 * i, 96 + 3 * i);
    for (int32_t n = 0; n < 256; n++) {
        SetEntry(scene.Palette[n], scene.Ramp[n][0], scene.Ramp[n][1], scene.Ramp[n][2]);
        SetEntry(scene.Palette[256 + n], (scene.Ramp[n][0] + 672) / 4, (scene.Ramp[n][1] + 768) / 4,
                 (scene.Ramp[n][2] + 576) / 4);
    }
    scene.TileWidth = ((width + 63) / 64) * 32;
    scene.TileHeight = ((height + 63) / 64) * 32;
    GenerateNoiseField(scene.Field, scene.Random, width + 8, height + 9, scene.TileWidth, scene.TileHeight);
    int32_t tw = scene.TileWidth > 1024 ? 1024 : scene.TileWidth;
    int32_t th = scene.TileHeight > 768 ? 768 : scene.TileHeight;
    for (int32_t y = 0; y <= height + 8; y++)
        for (int32_t x = 0; x <= width + 7; x++) scene.Field.Cell(x, y) = scene.Field.Cell(x % tw, y % th);
    if (settings.Sound) scene.SoundsPlayed.push_back(701 + (int32_t)Random(scene.Random, 3));
}

void WriggletStep(Scene& scene) {
    int32_t n = scene.ActiveCount;
    for (int32_t i = 1; i <= n; i++) {
        Record& w = scene.Wrigglets[i];
        if (i <= 255) {
            int32_t k = i / 32;
            uint8_t* c1 = scene.Palette[scene.Field.Cell(w.TailX + k, w.TailY + k)];
            SetPixelV(scene, w.TailX, w.TailY, Rgb(c1[0], c1[1], c1[2]));
            uint8_t* c2 = scene.Palette[scene.Field.Cell(w.TailX + k, w.TailY + 1 + k)];
            SetPixelV(scene, w.TailX, w.TailY + 1, Rgb(c2[0], c2[1], c2[2]));
        } else {
            SetPixelV(scene, w.TailX, w.TailY, GetPixel(scene, w.TailX, w.TailY));
            SetPixelV(scene, w.TailX, w.TailY + 1, GetPixel(scene, w.TailX, w.TailY + 1));
        }
        SetPixelV(scene, w.HeadX, w.HeadY + 1, PaletteRgb(128, 64, 0));
        SetPixelV(scene, w.HeadX, w.HeadY, PaletteRgb(255, 240, 192));
        int32_t tx = w.HeadX, ty = w.HeadY;
        if (w.Direction == 1 || w.Direction == 2 || w.Direction == 3) ty = ty - 1;
        if (w.Direction == 5 || w.Direction == 6 || w.Direction == 7) ty = ty + 1;
        if (w.Direction == 3 || w.Direction == 4 || w.Direction == 5) tx = tx + 1;
        if (w.Direction == 7 || w.Direction == 8 || w.Direction == 1) tx = tx - 1;
        if (tx < 0) tx = 0;
        if (tx > scene.SceneWidth) tx = scene.SceneWidth;
        if (ty < 0) ty = 0;
        if (ty > scene.SceneHeight) ty = scene.SceneHeight;
        if (tx != w.HeadX || ty != w.HeadY) {
            w.TailX = w.SegmentX[w.Length];
            w.TailY = w.SegmentY[w.Length];
            for (int32_t j = w.Length; j >= 2; j--) {
                w.SegmentX[j] = w.SegmentX[j - 1];
                w.SegmentY[j] = w.SegmentY[j - 1];
            }
            w.SegmentX[1] = w.HeadX;
            w.SegmentY[1] = w.HeadY;
            w.HeadX = tx;
            w.HeadY = ty;
            if (w.Length < 64)
                if (Random(scene.Random, 500) == 0) {
                    w.Length = w.Length + 1;
                    w.SegmentX[w.Length] = w.TailX;
                    w.SegmentY[w.Length] = w.TailY;
                }
        }
        SetPixelV(scene, w.HeadX, w.HeadY, PaletteRgb(255, 255, 255));
        SetPixelV(scene, w.TailX, w.TailY, PaletteRgb(255, 240, 192));
        int32_t d = w.Direction - 1 + (int32_t)Random(scene.Random, 3);
        if (d == 0) d = 8;
        if (d == 9) d = 1;
        w.Direction = d;
    }
    if (Random(scene.Random, 64) == 0)
        if (scene.ActiveCount < scene.MaxCount) scene.ActiveCount = scene.ActiveCount + 1;
}

void FrameTick(Scene& scene) {
    WriggletStep(scene);
    if (scene.Settings.Speed == 3) {
        WriggletStep(scene);
        WriggletStep(scene);
        WriggletStep(scene);
    }
    if (scene.Settings.Sound)
        if (Random(scene.Random, 10) == 0) scene.SoundsPlayed.push_back(701 + (int32_t)Random(scene.Random, 3));
}

}  // namespace wrigglet::oracle
