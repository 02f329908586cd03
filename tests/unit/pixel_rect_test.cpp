#include "core/pixel_rect.h"

#include <gtest/gtest.h>

namespace wrigglet {
namespace {

TEST(PixelRect, ClippingKeepsTheInsideAndNeverInverts) {
    struct Case {
        PixelRect rect, bounds, clipped;
    };
    const Case cases[] = {
        {{-5, -5, 160, 100}, {0, 0, 320, 200}, {0, 0, 160, 100}},
        {{10, 20, 30, 40}, {0, 0, 320, 200}, {10, 20, 30, 40}},
        {{300, 190, 400, 300}, {0, 0, 320, 200}, {300, 190, 320, 200}},
        {{400, 10, 500, 20}, {0, 0, 320, 200}, {320, 10, 320, 20}},  // beyond: empty at the edge
        {{-50, -50, -10, -10}, {-200, 0, 0, 150}, {-50, 0, -10, 0}},
        {{5, 5, 1, 1}, {0, 0, 10, 10}, {5, 5, 5, 5}},
    };
    for (const Case& c : cases) {
        const PixelRect clipped = ClipRect(c.rect, c.bounds);
        EXPECT_EQ(clipped, c.clipped) << c.rect.Left << "," << c.rect.Top;
        EXPECT_LE(clipped.Left, clipped.Right);
        EXPECT_LE(clipped.Top, clipped.Bottom);
    }
}

TEST(PixelRect, BandsHoldEveryRectangleWithinTheirCount) {
    const std::vector<PixelRect> rects{{0, 48, 16, 64}, {32, 0, 48, 16}, {16, 16, 32, 32}, {0, 32, 64, 48}};
    struct Case {
        size_t bands;
        std::vector<PixelRect> expected;
    };
    const Case cases[] = {
        {0, {{0, 0, 64, 64}}},
        {1, {{0, 0, 64, 64}}},
        {2, {{16, 0, 48, 32}, {0, 32, 64, 64}}},
        {9, {{32, 0, 48, 16}, {16, 16, 32, 32}, {0, 32, 64, 48}, {0, 48, 16, 64}}},
    };
    for (const Case& c : cases) EXPECT_EQ(RectBands(rects, c.bands), c.expected) << c.bands << " bands";
    EXPECT_TRUE(RectBands({}, 4).empty());
    EXPECT_EQ(BoundingRect(rects), (PixelRect{0, 0, 64, 64}));
    EXPECT_EQ(BoundingRect({}), PixelRect{});
}

TEST(PixelRect, FillingAndCopyingTouchOnlyTheRectangle) {
    std::vector<uint32_t> pixels(6 * 4, 7), copied(6 * 4, 9);
    FillRect(pixels.data(), 6, {1, 1, 4, 3}, 0);
    FillRect(pixels.data(), 6, {5, 3, 5, 4}, 0);  // empty: nothing
    CopyRect(pixels.data(), copied.data(), 6, {1, 1, 4, 3});
    CopyRect(pixels.data(), copied.data(), 6, {5, 3, 5, 4});
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(pixels[y * 6 + x], inside ? 0u : 7u) << x << "," << y;
            EXPECT_EQ(copied[y * 6 + x], inside ? 0u : 9u) << x << "," << y;
        }
}

}  // namespace
}  // namespace wrigglet
