// The saver's command line: splitting it into parameters and choosing the run mode from them.
#include "saver/command_line.h"

#include <cstddef>
#include <optional>

namespace wrigglet {
namespace {

bool IsSeparator(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// Reads at `text[pos]`, treating the end of the view and a NUL alike.
char At(std::string_view text, std::size_t pos) { return pos < text.size() ? text[pos] : '\0'; }

// Moves past separators and past pairs of quotes, which stand for nothing.
std::size_t SkipToParameter(std::string_view text, std::size_t pos) {
    for (;;) {
        while (IsSeparator(At(text, pos))) ++pos;
        if (At(text, pos) == '"' && At(text, pos + 1) == '"') {
            pos += 2;
            continue;
        }
        return pos;
    }
}

// Reads one parameter starting at `pos`; returns the position just after it.
std::size_t ReadParameter(std::string_view text, std::size_t pos, std::string* out) {
    for (char c = At(text, pos); c != '\0' && !IsSeparator(c); c = At(text, pos)) {
        if (c != '"') {
            if (out) out->push_back(c);
            ++pos;
            continue;
        }
        ++pos;  // the opening quote is dropped, and so is the closing one
        for (c = At(text, pos); c != '\0' && c != '"'; c = At(text, ++pos)) {
            if (out) out->push_back(c);
        }
        if (c == '"') ++pos;
    }
    return pos;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::uint32_t> ParseHexDigits(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> ParseSignedDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    const std::uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    std::uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(magnitude);
    return negative ? 0u - bits : bits;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string CommandLineParameter(std::string_view commandLine, unsigned index) {
    std::size_t pos = 0;
    for (unsigned i = 0; i < index; ++i) {
        pos = ReadParameter(commandLine, SkipToParameter(commandLine, pos), nullptr);
    }
    std::string parameter;
    ReadParameter(commandLine, SkipToParameter(commandLine, pos), &parameter);
    return parameter;
}

WindowHandle ParseWindowHandle(std::string_view text) {
    while (!text.empty() && text[0] == ' ') text.remove_prefix(1);

    std::optional<std::uint32_t> bits;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        bits = ParseHexDigits(text.substr(1));
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        bits = ParseHexDigits(text.substr(2));
    } else {
        bits = ParseSignedDecimal(text);
    }
    if (!bits) return 0;
    // Windows keeps handles in 32 bits and widens them with their sign.
    return static_cast<WindowHandle>(static_cast<std::int32_t>(*bits));
}

SaverCommand ParseSaverCommandLine(std::string_view commandLine, const ForegroundWindowSource& foregroundWindow) {
    SaverCommand command;
    const std::string first = CommandLineParameter(commandLine, 1);
    if (first.empty()) {
        command.SaverMode = ModeConfigure;
        return command;
    }
    if (first[0] != '/' && first[0] != '-') return command;

    const char letter = first.size() > 1 ? AsciiUpper(first[1]) : '\0';
    switch (letter) {
        case 'S':
            command.SaverMode = ModeFullScreen;
            break;
        case 'P':
        case 'L':
            command.SaverMode = ModePreview;
            command.ParentWindow = ParseWindowHandle(CommandLineParameter(commandLine, 2));
            break;
        case 'A':
            command.SaverMode = ModeChangePassword;
            command.ParentWindow = ParseWindowHandle(CommandLineParameter(commandLine, 2));
            break;
        case 'C':
            command.SaverMode = ModeConfigure;
            command.ParentWindow = ParseWindowHandle(CommandLineParameter(commandLine, 2));
            if (command.ParentWindow == 0 && foregroundWindow) {
                command.ParentWindow = foregroundWindow();
            }
            break;
        default:
            command.SaverMode = ModeConfigure;
            break;
    }
    return command;
}

}  // namespace wrigglet
