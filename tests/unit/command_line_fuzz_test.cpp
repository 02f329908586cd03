// Randomized property tests of the command-line parser and ParseWindowHandle: any text,
// however long or malformed, gives a sound answer. Bounded by an iteration count and a
// fixed seed, so a failure repeats; run under AddressSanitizer and UBSan by the asan preset.
#include "saver/command_line.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>

namespace wrigglet {
namespace {

constexpr unsigned kSeed = 20040101;

std::string RandomText(std::mt19937& rng, std::string_view alphabet, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length(rng), ' ');
    for (char& c : text) c = alphabet[pick(rng)];
    return text;
}

std::string AllBytes() {
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes.push_back(static_cast<char>(c));
    return bytes;
}

// An independent reading of the accepted handle forms, by regular expression and strtoll.
std::optional<WindowHandle> ModelHandle(const std::string& text) {
    static const std::regex decimal("^ *([+-]?[0-9]+)$");
    static const std::regex hex("^ *(?:\\$|x|X|0x|0X)([0-9a-fA-F]+)$");
    std::smatch m;
    if (std::regex_match(text, m, hex)) {
        std::string digits = m[1].str();
        digits.erase(0, digits.find_first_not_of('0'));
        if (digits.size() > 8) return 0;
        const auto bits = digits.empty() ? 0u : std::stoul(digits, nullptr, 16);
        return static_cast<WindowHandle>(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
    }
    if (std::regex_match(text, m, decimal)) {
        errno = 0;
        const long long value = std::strtoll(m[1].str().c_str(), nullptr, 10);
        if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return 0;
        return static_cast<WindowHandle>(value);
    }
    return std::nullopt;  // not a number at all
}

TEST(WindowHandleFuzz, AgreesWithAnIndependentModel) {
    std::mt19937 rng(kSeed);
    int numbers = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::string text = RandomText(rng, " +-$xX0123456789aAfFgG\t", 14);
        const std::optional<WindowHandle> model = ModelHandle(text);
        if (model) ++numbers;
        ASSERT_EQ(ParseWindowHandle(text), model.value_or(0)) << '"' << text << '"';
    }
    EXPECT_GT(numbers, 1000) << "the generator should hit the accepted forms often";
}

TEST(WindowHandleFuzz, EveryThirtyTwoBitValueRoundTrips) {
    std::mt19937 rng(kSeed);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t b = bits(rng);
        const auto expected = static_cast<WindowHandle>(static_cast<std::int32_t>(b));
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%x", b);
        ASSERT_EQ(ParseWindowHandle(hex), expected) << hex;
        ASSERT_EQ(ParseWindowHandle(std::to_string(static_cast<std::int32_t>(b))), expected) << b;
    }
}

TEST(CommandLineFuzz, AnyTextPicksAModeSafely) {
    std::mt19937 rng(kSeed);
    const std::string bytes = AllBytes();
    const std::string saverish = "/-sSpPlLaAcCx \"\t0123456789$xX";
    for (int i = 0; i < 20000; ++i) {
        const std::string line = "w.scr " + RandomText(rng, i % 2 ? bytes : saverish, 64);
        int foregroundAsked = 0;
        const SaverCommand command = ParseSaverCommandLine(line, [&] {
            ++foregroundAsked;
            return WindowHandle{77};
        });
        const auto mode = static_cast<unsigned>(command.SaverMode);
        ASSERT_LE(mode, 4u) << line;
        ASSERT_LE(foregroundAsked, 1) << line;
        const WindowHandle second = ParseWindowHandle(CommandLineParameter(line, 2));
        switch (command.SaverMode) {
            case ModePreview:
            case ModeChangePassword:
                ASSERT_EQ(command.ParentWindow, second) << line;
                break;
            case ModeConfigure:
                ASSERT_TRUE(command.ParentWindow == 0 || command.ParentWindow == second || command.ParentWindow == 77)
                    << line;
                break;
            default:
                ASSERT_EQ(command.ParentWindow, 0) << line;
        }
    }
}

TEST(CommandLineFuzz, ParametersNeverKeepQuotes) {
    std::mt19937 rng(kSeed);
    for (int i = 0; i < 20000; ++i) {
        const std::string line = RandomText(rng, "ab \"\t\x01", 40);
        for (unsigned index = 0; index < 4; ++index) {
            ASSERT_EQ(CommandLineParameter(line, index).find('"'), std::string::npos) << line;
        }
    }
}

TEST(CommandLineFuzz, WithoutQuotesItSplitsAtControlsAndBlanks) {
    std::mt19937 rng(kSeed);
    for (int i = 0; i < 20000; ++i) {
        const std::string line = RandomText(rng, "ab/ \t\x01\x1f\x7f", 24);
        std::vector<std::string> words;  // the model: split at every character 1..32
        std::string word;
        for (char c : line + ' ') {
            if (static_cast<unsigned char>(c) <= 32) {
                if (!word.empty()) words.push_back(word);
                word.clear();
            } else {
                word.push_back(c);
            }
        }
        for (unsigned index = 0; index < 3; ++index) {
            const std::string expected = index < words.size() ? words[index] : "";
            ASSERT_EQ(CommandLineParameter(line, index), expected) << line;
        }
    }
}

TEST(CommandLineFuzz, HugeLinesAreHandled) {
    std::mt19937 rng(kSeed);
    const std::string bytes = AllBytes();
    for (int i = 0; i < 4; ++i) {
        const std::string line = "w.scr " + RandomText(rng, bytes, 1 << 20);
        const SaverCommand command = ParseSaverCommandLine(line, [] { return WindowHandle{1}; });
        EXPECT_LE(static_cast<unsigned>(command.SaverMode), 4u);
    }
    const std::string longNumber = "w.scr /p " + std::string(1 << 20, '9');
    EXPECT_EQ(ParseSaverCommandLine(longNumber, {}).ParentWindow, 0);
    const std::string unclosed = "w.scr \"/s" + std::string(1 << 20, ' ');
    EXPECT_EQ(ParseSaverCommandLine(unclosed, {}).SaverMode, ModeFullScreen);
}

}  // namespace
}  // namespace wrigglet
