#include "core/frame.h"

#include <gtest/gtest.h>

#include <random>

namespace wrigglet {
namespace {

TEST(Colour, ColorRefsBecomeDibPixelsWithBlueInTheLowestByte) {
    struct Case {
        ColorRef color;
        uint32_t pixel;
    };
    const Case cases[] = {
        {MakeRgb(255, 0, 0), 0x00FF0000u},
        {MakeRgb(0, 255, 0), 0x0000FF00u},
        {MakeRgb(0, 0, 255), 0x000000FFu},
        {MakeRgb(255, 240, 192), 0x00FFF0C0u},
        {MakePaletteRgb(128, 64, 0), 0x00804000u},  // the palette flag carries no colour
        {MakePaletteRgb(255, 255, 255), 0x00FFFFFFu},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColorRefToPixel(c.color), c.pixel) << std::hex << c.color;
        EXPECT_EQ(PixelToColorRef(c.pixel), c.color & ~PaletteFlag) << std::hex << c.pixel;
    }
    EXPECT_EQ(MakeRgb(1, 2, 3), 0x030201u);
    EXPECT_EQ(MakePaletteRgb(1, 2, 3), 0x2030201u);
    EXPECT_EQ(PixelToColorRef(0xAB123456u), MakeRgb(0x12, 0x34, 0x56)) << "the top byte of a pixel is ignored";
}

struct FrameFixture {
    std::vector<uint32_t> pixels, background;
    Frame frame;
    FrameFixture(int32_t w, int32_t h) : pixels(static_cast<size_t>(w) * h, 0), background(pixels.size()) {
        for (size_t i = 0; i < background.size(); ++i)
            background[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        AttachFrame(frame, w, h, pixels.data(), background.data());
    }
};

TEST(Frame, WritesOutsideTheFrameAreDroppedAndReadsThereAreInvalid) {
    FrameFixture f(7, 5);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {7, 0}, {0, 5}, {7, 5}, {INT32_MIN, INT32_MAX}}) {
        SetFramePixel(f.frame, x, y, MakeRgb(1, 2, 3));
        EXPECT_EQ(GetBackgroundPixel(f.frame, x, y), InvalidColor);
    }
    EXPECT_EQ(std::count(f.pixels.begin(), f.pixels.end(), 0u), 35);
    EXPECT_TRUE(TouchedTiles(f.frame).empty());
    SetFramePixel(f.frame, 6, 4, MakeRgb(1, 2, 3));
    EXPECT_EQ(f.pixels[4 * 7 + 6], 0x010203u);
    EXPECT_EQ(GetBackgroundPixel(f.frame, 6, 4), PixelToColorRef(f.background[4 * 7 + 6]));
}

TEST(Frame, TouchedTilesCoverEveryWriteAndResetForgetsThem) {
    FrameFixture f(300, 200);
    std::mt19937 random(5);
    for (int round = 0; round < 4; ++round) {
        std::vector<std::pair<int32_t, int32_t>> written;
        for (int i = 0; i < 40; ++i) {
            const int32_t x = static_cast<int32_t>(random() % 300), y = static_cast<int32_t>(random() % 200);
            SetFramePixel(f.frame, x, y, 0);
            written.emplace_back(x, y);
        }
        const std::vector<PixelRect> rects = TouchedTiles(f.frame);
        for (auto [x, y] : written) {
            EXPECT_TRUE(std::any_of(
                rects.begin(), rects.end(),
                [&](const PixelRect& r) { return r.Left <= x && x < r.Right && r.Top <= y && y < r.Bottom; }))
                << x << "," << y << " in round " << round;
        }
        for (const PixelRect& r : rects) {
            EXPECT_TRUE(0 <= r.Left && r.Left < r.Right && r.Right <= 300);
            EXPECT_TRUE(0 <= r.Top && r.Top < r.Bottom && r.Bottom <= 200);
        }
        ResetTouched(f.frame);
        EXPECT_TRUE(TouchedTiles(f.frame).empty());
    }
}

TEST(Frame, AFewNearbyWritesGiveOneSmallRectangle) {
    FrameFixture f(640, 480);
    SetFramePixel(f.frame, 100, 50, 0);
    SetFramePixel(f.frame, 101, 51, 0);
    SetFramePixel(f.frame, 639, 479, 0);
    const std::vector<PixelRect> rects = TouchedTiles(f.frame);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_LE((rects[0].Right - rects[0].Left) * (rects[0].Bottom - rects[0].Top), 4 * DamageTileSize * DamageTileSize);
    EXPECT_EQ(rects[1].Right, 640);
    EXPECT_EQ(rects[1].Bottom, 480);
}

TEST(Frame, ATouchedRectangleTouchesTheTilesItReachesInto) {
    struct Case {
        PixelRect touched;
        std::vector<PixelRect> tiles;  // of a grid over 40 x 40 pixels
    };
    const Case cases[] = {
        {{0, 0, 1, 1}, {{0, 0, 16, 16}}},
        {{15, 15, 17, 17}, {{0, 0, 32, 32}}},
        {{30, 0, 100, 5}, {{16, 0, 40, 16}}},  // beyond the pixels: clipped, the last tile partial
        {{-10, 33, 5, 50}, {{0, 32, 16, 40}}},
        {{-5, -5, 0, 0}, {}},
        {{20, 20, 20, 30}, {}},
    };
    for (const Case& c : cases) {
        FrameDamage damage;
        SizeDamage(damage, 40, 40);
        TouchRect(damage, c.touched);
        EXPECT_EQ(TouchedTiles(damage), c.tiles) << c.touched.Left << "," << c.touched.Top;
        ResetTouched(damage);
        EXPECT_TRUE(TouchedTiles(damage).empty());
    }
}

}  // namespace
}  // namespace wrigglet
