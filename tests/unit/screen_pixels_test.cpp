// A screen copy's buffer read as the program's pixels: each format's colours, and the
// output's transform and y-invert undone so the picture stands upright.
#include "wayland/screen_pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace wrigglet::wayland {
namespace {

TEST(ScreenPicture, ReadsEachFormatsColours) {
    struct Case {
        uint32_t format;
        std::vector<uint8_t> bytes;  // one pixel, as it lies in memory
        std::optional<uint32_t> expected;
    } cases[] = {
        {WL_SHM_FORMAT_XRGB8888, {0x11, 0x22, 0x33, 0x44}, 0x332211},
        {WL_SHM_FORMAT_ARGB8888, {0x11, 0x22, 0x33, 0x44}, 0x332211},
        {WL_SHM_FORMAT_XBGR8888, {0x11, 0x22, 0x33, 0x44}, 0x112233},
        {WL_SHM_FORMAT_ABGR8888, {0x11, 0x22, 0x33, 0x44}, 0x112233},
        {WL_SHM_FORMAT_XRGB2101010, {0x00, 0x00, 0xf8, 0x3f}, 0xff8000},  // red 1023, green 512, blue 0
        {WL_SHM_FORMAT_ARGB2101010, {0x00, 0x00, 0xf8, 0xff}, 0xff8000},
        {WL_SHM_FORMAT_XBGR2101010, {0x00, 0x00, 0xf8, 0x3f}, 0x0080ff},
        {WL_SHM_FORMAT_ABGR2101010, {0x00, 0x00, 0xf8, 0xff}, 0x0080ff},
        {WL_SHM_FORMAT_RGB565, {0x11, 0x22, 0x33, 0x44}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto picture = ScreenPicture({c.format, 1, 1, 4, false, WL_OUTPUT_TRANSFORM_NORMAL}, c.bytes.data());
        EXPECT_EQ(ReadableFormat(c.format), c.expected.has_value()) << c.format;
        if (!c.expected) {
            EXPECT_FALSE(picture) << c.format;
            continue;
        }
        ASSERT_TRUE(picture) << c.format;
        EXPECT_EQ(picture->Pixels, std::vector<uint32_t>{*c.expected}) << c.format;
    }
}

// The buffer is 3 x 2 pixels numbered 0 1 2 / 3 4 5, each row padded to 16 bytes.
TEST(ScreenPicture, TurnsTheBufferUpright) {
    std::vector<uint8_t> buffer(32);
    for (uint8_t i = 0; i < 6; ++i) buffer[(i / 3) * 16 + (i % 3) * 4] = i;
    struct Case {
        int32_t transform;
        bool yInvert;
        int32_t width, height;
        std::vector<uint32_t> expected;
    } cases[] = {
        {WL_OUTPUT_TRANSFORM_NORMAL, false, 3, 2, {0, 1, 2, 3, 4, 5}},
        {WL_OUTPUT_TRANSFORM_90, false, 2, 3, {3, 0, 4, 1, 5, 2}},
        {WL_OUTPUT_TRANSFORM_180, false, 3, 2, {5, 4, 3, 2, 1, 0}},
        {WL_OUTPUT_TRANSFORM_270, false, 2, 3, {2, 5, 1, 4, 0, 3}},
        {WL_OUTPUT_TRANSFORM_FLIPPED, false, 3, 2, {2, 1, 0, 5, 4, 3}},
        {WL_OUTPUT_TRANSFORM_FLIPPED_90, false, 2, 3, {0, 3, 1, 4, 2, 5}},
        {WL_OUTPUT_TRANSFORM_FLIPPED_180, false, 3, 2, {3, 4, 5, 0, 1, 2}},
        {WL_OUTPUT_TRANSFORM_FLIPPED_270, false, 2, 3, {5, 2, 4, 1, 3, 0}},
        {WL_OUTPUT_TRANSFORM_NORMAL, true, 3, 2, {3, 4, 5, 0, 1, 2}},
        {WL_OUTPUT_TRANSFORM_90, true, 2, 3, {0, 3, 1, 4, 2, 5}},
    };
    for (const Case& c : cases) {
        const auto picture = ScreenPicture({WL_SHM_FORMAT_XRGB8888, 3, 2, 16, c.yInvert, c.transform}, buffer.data());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Width, c.width) << c.transform << " " << c.yInvert;
        EXPECT_EQ(picture->Height, c.height) << c.transform << " " << c.yInvert;
        EXPECT_EQ(picture->Pixels, c.expected) << c.transform << " " << c.yInvert;
    }
}

}  // namespace
}  // namespace wrigglet::wayland
