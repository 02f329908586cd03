// The mouse-move rule: which moves ask the saver to close, the moves given as the Windows
// saver's messages carry them.
#include "core/mouse_watch.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "saver/mouse_message.h"

namespace wrigglet {
namespace {

ScreenPoint MoveTo(int x, int y, ScreenPoint clientOrigin = {}) {
    return MouseMessagePoint((static_cast<std::uint32_t>(y & 0xFFFF) << 16) | static_cast<std::uint32_t>(x & 0xFFFF),
                             clientOrigin);
}

struct MoveCase {
    const char* name;
    ScreenPoint origin;
    std::vector<std::pair<int, int>> moves;  // after the first, ignored move
    int closesAt;                            // index of the move that asks to close, or -1
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class MouseRule : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MouseRule, ClosesOnlyBeyondFourPixels) {
    const MoveCase& c = GetParam();
    MouseWatch watch;
    RecordMouseOrigin(watch, c.origin);
    ASSERT_FALSE(MouseMoveAsksToClose(watch, MoveTo(0xFFFF, 0xFFFF))) << "the first move counts";
    int closedAt = -1;
    for (int i = 0; i < static_cast<int>(c.moves.size()) && closedAt < 0; ++i) {
        if (MouseMoveAsksToClose(watch, MoveTo(c.moves[i].first, c.moves[i].second))) closedAt = i;
    }
    EXPECT_EQ(closedAt, c.closesAt) << c.name;
    EXPECT_EQ(watch.MouseOrigin.x, c.origin.x) << "the origin must not follow the mouse";
    EXPECT_EQ(watch.MouseOrigin.y, c.origin.y) << "the origin must not follow the mouse";
}

INSTANTIATE_TEST_SUITE_P(
    Table, MouseRule,
    ::testing::Values(MoveCase{"four in both axes stays", {100, 100}, {{104, 104}, {96, 96}, {104, 96}}, -1},
                      MoveCase{"five right closes", {100, 100}, {{105, 100}}, 0},
                      MoveCase{"five left closes", {100, 100}, {{95, 100}}, 0},
                      MoveCase{"five down closes", {100, 100}, {{100, 105}}, 0},
                      MoveCase{"five up closes", {100, 100}, {{100, 95}}, 0},
                      MoveCase{"small steps add up", {100, 100}, {{102, 100}, {104, 100}, {105, 100}}, 2},
                      MoveCase{"back and forth never closes",
                               {100, 100},
                               {{103, 100}, {97, 100}, {104, 103}, {96, 97}, {100, 100}, {104, 104}},
                               -1},
                      MoveCase{"at the screen's corner", {0, 0}, {{4, 4}, {0, 5}}, 1},
                      // Coordinates are 16-bit unsigned: a pointer just left of the origin reads 65535.
                      MoveCase{"minus one is far away", {0, 0}, {{-1, 0}}, 0},
                      MoveCase{"top of the 16-bit range", {65535, 65535}, {{65531, 65531}, {65530, 65535}}, 1},
                      MoveCase{"x and y are not swapped", {10, 500}, {{14, 496}, {500, 10}}, 1}));

// A window over several monitors has its client origin at the virtual screen's corner,
// which may be left of or above the primary; its moves are compared in screen coordinates.
TEST(MouseRule, ClientMovesAreComparedOnTheScreen) {
    struct Case {
        ScreenPoint clientOrigin, cursor;
        int x, y;
        bool closes;
    };
    for (const Case c : {Case{{-800, 0}, {-400, 300}, 404, 304, false}, Case{{-800, 0}, {-400, 300}, 405, 300, true},
                         Case{{-800, 0}, {-400, 300}, 396, 296, false}, Case{{-800, 0}, {-400, 300}, 395, 300, true},
                         Case{{0, -600}, {10, -20}, 10, 584, false}, Case{{0, -600}, {10, -20}, 10, 585, true},
                         Case{{-800, 0}, {-400, 300}, 400, 300, false}, Case{{0, 0}, {100, 100}, 105, 100, true}}) {
        MouseWatch watch;
        RecordMouseOrigin(watch, c.cursor);
        MouseMoveAsksToClose(watch, MoveTo(0, 0, c.clientOrigin));
        EXPECT_EQ(MouseMoveAsksToClose(watch, MoveTo(c.x, c.y, c.clientOrigin)), c.closes)
            << "client " << c.x << "," << c.y << " from " << c.clientOrigin.x << "," << c.clientOrigin.y;
    }
}

TEST(MouseRule, FirstMoveIsIgnoredHoweverFar) {
    MouseWatch watch;
    RecordMouseOrigin(watch, {100, 100});
    EXPECT_FALSE(MouseMoveAsksToClose(watch, MoveTo(900, 700)));
    EXPECT_TRUE(watch.MouseMoveSeen);
    EXPECT_TRUE(MouseMoveAsksToClose(watch, MoveTo(900, 700)));
}

TEST(MouseRule, RecordingAgainIgnoresTheNextMoveAndMovesTheOrigin) {
    MouseWatch watch;
    RecordMouseOrigin(watch, {100, 100});
    MouseMoveAsksToClose(watch, MoveTo(100, 100));
    RecordMouseOrigin(watch, {300, 300});
    EXPECT_FALSE(MouseMoveAsksToClose(watch, MoveTo(100, 100)));  // ignored
    EXPECT_FALSE(MouseMoveAsksToClose(watch, MoveTo(303, 297)));  // near the new origin
    EXPECT_TRUE(MouseMoveAsksToClose(watch, MoveTo(100, 100)));   // far from it
}

TEST(MouseRule, ExtremeOriginsDoNotOverflow) {
    MouseWatch watch;
    RecordMouseOrigin(watch, {INT32_MIN, INT32_MAX});
    MouseMoveAsksToClose(watch, MoveTo(0, 0));
    EXPECT_TRUE(MouseMoveAsksToClose(watch, MoveTo(0xFFFF, 0xFFFF)));
}

}  // namespace
}  // namespace wrigglet
