// The shared option parser's numbers at the edges of their types, which the programs' own
// option tables don't reach.
#include "core/program_options.h"

#include <gtest/gtest.h>

namespace wrigglet {
namespace {

TEST(ProgramOptions, WholeNumbersAtTheEdges) {
    constexpr int64_t Min = std::numeric_limits<int64_t>::min(), Max = std::numeric_limits<int64_t>::max();
    struct Case {
        const char* text;
        bool hex;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {"9223372036854775807", false, Max},
        {"9223372036854775808", false, std::nullopt},
        {"-9223372036854775808", false, Min},
        {"-9223372036854775809", false, std::nullopt},
        {"0x7fffffffffffffff", true, Max},
        {"0x8000000000000000", true, std::nullopt},
        {"0x1f", false, std::nullopt},
        {"-0x1f", true, std::nullopt},
        {"0x", true, std::nullopt},
        {"0x-1", true, std::nullopt},
        {"", false, std::nullopt},
        {" 1", false, std::nullopt},
        {"1 ", false, std::nullopt},
        {"-", false, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseWholeNumber(c.text, Min, Max, c.hex), c.value) << c.text;
}

}  // namespace
}  // namespace wrigglet
