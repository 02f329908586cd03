// A picture of the whole desktop cut into each output's part, scaled to its physical pixels.
#include "wayland/desktop_crop.h"

#include <gtest/gtest.h>

namespace wrigglet::wayland {
namespace {

TEST(DesktopGrids, TakeEachOutputsPartAtItsPhysicalSize) {
    struct Case {
        const char* what;
        int32_t width, height;  // the picture's
        std::vector<OutputPlace> places;
        std::vector<std::vector<int32_t>> columns, rows;  // each output's expected grid
    } cases[] = {
        {"side by side, one to one",
         6,
         2,
         {{{0, 0, 4, 2}, {4, 2}}, {{4, 0, 6, 2}, {2, 2}}},
         {{0, 1, 2, 3}, {4, 5}},
         {{0, 1}, {0, 1}}},
        {"a physical-pixel picture at scale 2; the second output at scale 1",
         12,
         4,
         {{{0, 0, 4, 2}, {8, 4}}, {{4, 0, 6, 2}, {2, 2}}},
         {{0, 1, 2, 3, 4, 5, 6, 7}, {8, 10}},
         {{0, 1, 2, 3}, {0, 2}}},
        {"a layout from a negative corner, one above the other",
         4,
         4,
         {{{-2, -1, 0, 1}, {2, 2}}, {{0, 1, 2, 3}, {2, 2}}},
         {{0, 1}, {2, 3}},
         {{0, 1}, {2, 3}}},
        {"a part enlarged", 2, 1, {{{0, 0, 2, 1}, {4, 2}}}, {{0, 0, 1, 1}}, {{0, 0}}},
    };
    for (const Case& c : cases) {
        const std::vector<image::SampleGrid> grids = DesktopGrids(c.width, c.height, c.places);
        ASSERT_EQ(grids.size(), c.places.size()) << c.what;
        for (size_t i = 0; i < grids.size(); ++i) {
            EXPECT_EQ(grids[i].Columns, c.columns[i]) << c.what << ", output " << i;
            EXPECT_EQ(grids[i].Rows, c.rows[i]) << c.what << ", output " << i;
        }
    }
}

TEST(CropDesktop, GivesEachOutputItsPixels) {
    const image::PixelPicture desktop{3, 1, {0x010101, 0x020202, 0x030303}};
    const std::vector<image::PixelPicture> parts =
        CropDesktop(desktop, {{{0, 0, 1, 1}, {1, 1}}, {{1, 0, 3, 1}, {2, 1}}});
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].Pixels, std::vector<uint32_t>{0x010101});
    EXPECT_EQ(parts[1].Pixels, (std::vector<uint32_t>{0x020202, 0x030303}));
}

}  // namespace
}  // namespace wrigglet::wayland
