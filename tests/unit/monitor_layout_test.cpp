// The arithmetic of several monitors: the virtual rectangle, each monitor's part of the
// picture, the uncovered parts, the scenes' order and seeds, and which layouts are refused.
#include "core/monitor_layout.h"

#include <gtest/gtest.h>

#include <set>

namespace wrigglet {
namespace {

using Rects = std::vector<PixelRect>;

TEST(MonitorLayout, VirtualRectAreasAndUncoveredParts) {
    struct Case {
        const char* Name;
        Rects Monitors;
        PixelRect Virtual;
        Rects Areas;
        Rects Uncovered;
    };
    const Case cases[] = {
        {"one monitor", {{0, 0, 1024, 768}}, {0, 0, 1024, 768}, {{0, 0, 1024, 768}}, {}},
        {"smaller monitor left of the primary",
         {{0, 0, 1024, 768}, {-800, 0, 0, 600}},
         {-800, 0, 1024, 768},
         {{800, 0, 1824, 768}, {0, 0, 800, 600}},
         {{0, 600, 800, 768}}},
        {"monitor above, narrower, centred",
         {{0, 0, 300, 200}, {100, -100, 200, 0}},
         {0, -100, 300, 200},
         {{0, 100, 300, 300}, {100, 0, 200, 100}},
         {{0, 0, 100, 100}, {200, 0, 300, 100}}},
        {"three in a row with steps",
         {{0, 0, 100, 100}, {100, 20, 200, 80}, {-50, 50, 0, 150}},
         {-50, 0, 200, 150},
         {{50, 0, 150, 100}, {150, 20, 250, 80}, {0, 50, 50, 150}},
         {{0, 0, 50, 20}, {150, 0, 250, 20}, {0, 20, 50, 50}, {150, 80, 250, 100}, {50, 100, 250, 150}}},
        {"a gap between two",
         {{0, 0, 10, 10}, {20, 0, 30, 10}},
         {0, 0, 30, 10},
         {{0, 0, 10, 10}, {20, 0, 30, 10}},
         {{10, 0, 20, 10}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VirtualRect(c.Monitors), c.Virtual) << c.Name;
        EXPECT_EQ(MonitorAreas(c.Monitors), c.Areas) << c.Name;
        EXPECT_EQ(UncoveredRects(c.Monitors), c.Uncovered) << c.Name;
    }
}

TEST(MonitorLayout, ThePrimaryComesFirstThenTopToBottomLeftToRight) {
    const Rects listed{{-800, 0, 0, 600}, {1024, -200, 2048, 568}, {0, 0, 1024, 768}, {-800, 600, 0, 1200}};
    EXPECT_EQ(OrderMonitors(listed, 2),
              (Rects{{0, 0, 1024, 768}, {1024, -200, 2048, 568}, {-800, 0, 0, 600}, {-800, 600, 0, 1200}}));
    EXPECT_EQ(OrderMonitors({{0, 0, 10, 10}}, 0), (Rects{{0, 0, 10, 10}}));
}

// Wayland names no primary: the output at the origin leads, else the top-left one.
TEST(MonitorLayout, WithoutAPrimaryTheOneAtTheOriginLeadsThenTopToBottomLeftToRight) {
    struct Case {
        Rects logical;
        std::vector<size_t> order;
    } cases[] = {
        {{{1024, 0, 1824, 600}, {0, 0, 1024, 768}}, {1, 0}},
        {{{0, -1080, 1920, 0}, {1920, 0, 2560, 480}, {0, 0, 1920, 1080}}, {2, 0, 1}},  // one above the origin
        {{{500, 0, 900, 300}, {-400, 100, 0, 400}, {-400, -300, 0, 0}}, {2, 0, 1}},    // none at the origin
        {{{0, 0, 800, 600}, {0, 0, 800, 600}}, {0, 1}},                                // mirrored: as listed
    };
    for (const Case& c : cases) EXPECT_EQ(MonitorOrder(c.logical, OriginMonitor(c.logical)), c.order);
}

TEST(MonitorLayout, EachSceneIndexHasItsOwnSeedAndThePrimaryKeepsItsOwn) {
    EXPECT_EQ(MonitorSeed(7, 0), 7u);
    std::set<uint32_t> seeds;
    for (size_t i = 0; i < 16; ++i) seeds.insert(MonitorSeed(4294967295u, i));
    EXPECT_EQ(seeds.size(), 16u);
}

TEST(MonitorLayout, RefusedLayoutsSayWhy) {
    struct Case {
        Rects Monitors;
        const char* Mentions;
    };
    const Case cases[] = {
        {{}, "no monitors"},
        {{{0, 0, 0, 10}}, "each side"},
        {{{0, 0, 9000, 10}}, "each side"},
        {{{0, 0, 10, 10}, {20000, 0, 20010, 10}}, "span more than"},
        {{{0, 0, 100, 100}, {99, 99, 200, 200}}, "overlap"},
        {{{0, 0, 100, 100}, {50, 20, 60, 30}}, "overlap"},
    };
    for (const Case& c : cases)
        EXPECT_NE(CheckMonitorLayout(c.Monitors, 8192, 16384).find(c.Mentions), std::string::npos) << c.Mentions;
    EXPECT_EQ(CheckMonitorLayout({{0, 0, 100, 100}, {100, 0, 200, 50}, {-10, 100, 0, 110}}, 8192, 16384), "");
}

}  // namespace
}  // namespace wrigglet
