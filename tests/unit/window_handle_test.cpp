// ParseWindowHandle: the accepted number forms and everything that reads as 0.
#include "saver/command_line.h"

#include <gtest/gtest.h>

namespace wrigglet {
namespace {

struct HandleCase {
    const char* text;
    WindowHandle handle;
};

void PrintTo(const HandleCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class WindowHandleText : public ::testing::TestWithParam<HandleCase> {};

TEST_P(WindowHandleText, ReadsAsExpected) {
    EXPECT_EQ(ParseWindowHandle(GetParam().text), GetParam().handle) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Decimal, WindowHandleText,
                         ::testing::Values(HandleCase{"1234", 1234}, HandleCase{"+1234", 1234},
                                           HandleCase{"-1234", -1234}, HandleCase{"0", 0}, HandleCase{"-0", 0},
                                           HandleCase{"00012", 12}, HandleCase{"2147483647", 2147483647},
                                           HandleCase{"-2147483648", -2147483647 - 1}, HandleCase{"2147483648", 0},
                                           HandleCase{"-2147483649", 0}, HandleCase{"4294967295", 0},
                                           HandleCase{"99999999999999999999", 0}, HandleCase{"+", 0},
                                           HandleCase{"-", 0}, HandleCase{"+-1", 0}, HandleCase{"1.0", 0},
                                           HandleCase{"12a", 0}));

INSTANTIATE_TEST_SUITE_P(Hexadecimal, WindowHandleText,
                         ::testing::Values(HandleCase{"$4D2", 1234}, HandleCase{"$4d2", 1234}, HandleCase{"x4d2", 1234},
                                           HandleCase{"X4D2", 1234}, HandleCase{"0x4d2", 1234},
                                           HandleCase{"0X4D2", 1234}, HandleCase{"$aBcD", 0xABCD},
                                           HandleCase{"$7FFFFFFF", 0x7FFFFFFF}, HandleCase{"$FFFFFFFF", -1},
                                           HandleCase{"0x80000000", -2147483647 - 1}, HandleCase{"$0000000012", 0x12},
                                           HandleCase{"$100000000", 0}, HandleCase{"$", 0}, HandleCase{"0x", 0},
                                           HandleCase{"x", 0}, HandleCase{"$G1", 0}, HandleCase{"-$10", 0},
                                           HandleCase{"+0x10", 0}, HandleCase{"$-10", 0}, HandleCase{"0$10", 0},
                                           HandleCase{"00x10", 0}));

INSTANTIATE_TEST_SUITE_P(Blanks, WindowHandleText,
                         ::testing::Values(HandleCase{"", 0}, HandleCase{" ", 0}, HandleCase{"   42", 42},
                                           HandleCase{"  $2A", 42}, HandleCase{"42 ", 0}, HandleCase{"4 2", 0},
                                           HandleCase{"\t42", 0}, HandleCase{"- 42", 0}, HandleCase{"$ 2A", 0}));

TEST(WindowHandleWidth, NegativeHandlesWidenWithTheirSign) {
    // On 64-bit Windows handle 0xFFFFFFFE is the 64-bit value -2, as the system widens it.
    EXPECT_EQ(ParseWindowHandle("0xFFFFFFFE"), static_cast<WindowHandle>(-2));
    EXPECT_EQ(static_cast<std::uintptr_t>(ParseWindowHandle("$80000000")),
              static_cast<std::uintptr_t>(static_cast<WindowHandle>(INT32_MIN)));
}

}  // namespace
}  // namespace wrigglet
