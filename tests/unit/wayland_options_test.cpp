// wrigglet-wayland's command line and the order its outputs' scenes are numbered in.
#include "wayland/wayland_options.h"

#include <gtest/gtest.h>

namespace wrigglet::wayland {
namespace {

TEST(WaylandOptions, TakesTheSceneOptionsAndAPicture) {
    const ParsedWaylandOptions good = ParseWaylandArguments(
        {"-no-desktop", "--text", "-speed", "3", "-picture", "wall.png", "-seed", "7", "-idle", "300"});
    ASSERT_EQ(good.Error, "");
    EXPECT_FALSE(good.Options.Settings.Desktop);
    EXPECT_TRUE(good.Options.Settings.Text);
    EXPECT_EQ(good.Options.Settings.Speed, 3);
    EXPECT_EQ(good.Options.Picture, "wall.png");
    EXPECT_EQ(good.Options.Seed, 7u);
    EXPECT_EQ(good.Options.Idle, 300);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"-picture"},
                                                {"-picture", "-text"},
                                                {"-root"},
                                                {"-wrigglets", "4"},
                                                {"-idle", "0"},
                                                {"-idle", "86401"}})
        EXPECT_NE(ParseWaylandArguments(bad).Error, "") << bad[0];
}

TEST(OutputOrder, TheOutputAtTheOriginFirstThenTopToBottomLeftToRight) {
    struct Case {
        std::vector<PixelRect> logical;
        std::vector<size_t> order;
    } cases[] = {
        {{{1024, 0, 1824, 600}, {0, 0, 1024, 768}}, {1, 0}},
        {{{0, -1080, 1920, 0}, {1920, 0, 2560, 480}, {0, 0, 1920, 1080}}, {2, 0, 1}},  // one above the origin
        {{{500, 0, 900, 300}, {-400, 100, 0, 400}, {-400, -300, 0, 0}}, {2, 0, 1}},    // none at the origin
        {{{0, 0, 800, 600}, {0, 0, 800, 600}}, {0, 1}},                                // mirrored: as listed
    };
    for (const Case& c : cases) EXPECT_EQ(OutputOrder(c.logical), c.order);
}

}  // namespace
}  // namespace wrigglet::wayland
