// wrigglet-wayland's command line.
#include "wayland/wayland_options.h"

#include <gtest/gtest.h>

namespace wrigglet::wayland {
namespace {

TEST(WaylandOptions, TakesTheSceneOptionsAndAPicture) {
    const ParsedWaylandOptions good = ParseWaylandArguments(
        {"-no-desktop", "--text", "-speed", "3", "-picture", "wall.png", "-seed", "7", "-idle", "300"});
    ASSERT_EQ(good.Error, "");
    EXPECT_FALSE(good.Options.Scene.Settings.Desktop);
    EXPECT_TRUE(good.Options.Scene.Settings.Text);
    EXPECT_EQ(good.Options.Scene.Settings.Speed, 3);
    EXPECT_EQ(good.Options.Picture, "wall.png");
    EXPECT_EQ(good.Options.Scene.Seed, 7u);
    EXPECT_EQ(good.Options.Idle, 300);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"-picture"},
                                                {"-picture", "-text"},
                                                {"-root"},
                                                {"-wrigglets", "4"},
                                                {"-idle", "0"},
                                                {"-idle", "86401"}})
        EXPECT_NE(ParseWaylandArguments(bad).Error, "") << bad[0];
}

}  // namespace
}  // namespace wrigglet::wayland
