// A picture scaled to cover a size: whole along the relatively shorter side, centred along the other.
#include "image/picture_sampling.h"

#include <gtest/gtest.h>

namespace wrigglet::image {
namespace {

// A picture whose pixel at (x, y) is x * 16 + y in each byte's low place, so a sample names its source.
PixelPicture Numbered(int32_t width, int32_t height) {
    PixelPicture picture{width, height, {}};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) picture.Pixels.push_back(0x010101u * static_cast<uint32_t>(x * 16 + y));
    return picture;
}

uint32_t Source(int32_t x, int32_t y) { return 0x010101u * static_cast<uint32_t>(x * 16 + y); }

TEST(CoverPixels, KeepsProportionsCentredAndCutsWhatSticksOut) {
    struct Case {
        int32_t pictureWidth, pictureHeight, width, height;
        std::vector<uint32_t> expected;
    } cases[] = {
        {4, 2, 2, 2, {Source(1, 0), Source(2, 0), Source(1, 1), Source(2, 1)}},  // wider: the middle columns
        {2, 4, 2, 2, {Source(0, 1), Source(1, 1), Source(0, 2), Source(1, 2)}},  // taller: the middle rows
        {2, 2, 4, 1, {Source(0, 0), Source(0, 0), Source(1, 0), Source(1, 0)}},  // enlarged: the middle row
        {4, 4, 2, 2, {Source(0, 0), Source(2, 0), Source(0, 2), Source(2, 2)}},  // same proportions: stretched
    };
    for (const Case& c : cases)
        EXPECT_EQ(CoverPixels(Numbered(c.pictureWidth, c.pictureHeight), c.width, c.height).Pixels, c.expected)
            << c.pictureWidth << "x" << c.pictureHeight << " over " << c.width << "x" << c.height;
}

}  // namespace
}  // namespace wrigglet::image
