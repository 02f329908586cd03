// wrigglet-wayland's command line.
#include "wayland/wayland_options.h"

#include <gtest/gtest.h>

namespace wrigglet::wayland {
namespace {

posix::CommandLineAnswer Parse(WaylandOptions& options, const std::vector<std::string>& arguments) {
    return posix::ParseCommandLine(WaylandCommandLine(options), arguments);
}

TEST(WaylandOptions, TakesTheSceneOptionsAndAPicture) {
    WaylandOptions good;
    ASSERT_EQ(
        Parse(good, {"-no-desktop", "--text", "-speed", "3", "-picture", "wall.png", "-seed", "7", "-idle", "300"})
            .Error,
        "");
    EXPECT_FALSE(good.Scene.Settings.Desktop);
    EXPECT_TRUE(good.Scene.Settings.Text);
    EXPECT_EQ(good.Scene.Settings.Speed, 3);
    EXPECT_EQ(good.Picture, "wall.png");
    EXPECT_EQ(good.Scene.Seed, 7u);
    EXPECT_EQ(good.Idle, 300);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"-picture"},
                                                {"-picture", "-text"},
                                                {"-root"},
                                                {"-wrigglets", "4"},
                                                {"-idle", "0"},
                                                {"-idle", "86401"}}) {
        WaylandOptions options;
        EXPECT_NE(Parse(options, bad).Error, "") << bad[0];
    }
}

}  // namespace
}  // namespace wrigglet::wayland
