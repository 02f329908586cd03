// The close gate's failure table, against fakes of the registry flag, the verifier
// library and the saver, each recording what the gate asked of it.
#include "saver/close_gate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace wrigglet {
namespace {

using Log = std::vector<std::string>;

// A registry value is modelled as its raw bytes; reading it into a 4-byte buffer fails
// when it is longer, as the registry does.
struct FakeFlag : PasswordFlagStore {
    Log& log;
    bool keyExists = true;
    std::optional<std::vector<std::uint8_t>> value;
    explicit FakeFlag(Log& l) : log(l) {}
    bool Open() override {
        log.push_back("open key");
        return keyExists;
    }
    bool Read(std::array<std::uint8_t, 4>& buffer) override {
        log.push_back("read value");
        if (!value || value->size() > buffer.size()) return false;
        std::copy(value->begin(), value->end(), buffer.begin());
        return true;
    }
    void Close() override { log.push_back("close key"); }
};

struct FakeVerifier : PasswordVerifier {
    Log& log;
    bool libraryExists = true;
    bool hasEntryPoint = true;
    std::vector<bool> answers;  // one per prompt, in order
    explicit FakeVerifier(Log& l) : log(l) {}
    bool Load() override {
        log.push_back("load");
        return libraryExists;
    }
    bool FindEntryPoint() override {
        log.push_back("find");
        return hasEntryPoint;
    }
    bool Verify() override {
        log.push_back("verify");
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void Free() override { log.push_back("free"); }
};

struct FakeSaver : SaverControl {
    Log& log;
    explicit FakeSaver(Log& l) : log(l) {}
    void ShowCursor(bool show) override { log.push_back(show ? "show cursor" : "hide cursor"); }
    void RestartMouseWatch() override { log.push_back("restart watch"); }
    void PostClose() override { log.push_back("post close"); }
};

std::vector<std::uint8_t> Dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

struct GateCase {
    const char* name;
    bool isNT;
    bool keyExists;
    std::optional<std::vector<std::uint8_t>> value;
    bool libraryExists;
    bool hasEntryPoint;
    bool verifierAnswer;
    bool closes;
    Log calls;
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

const Log kNoPrompt = {"open key", "read value", "close key", "post close"};
const Log kPromptOk = {"open key",    "read value",    "load", "find",      "show cursor", "verify",
                       "hide cursor", "restart watch", "free", "close key", "post close"};
const Log kPromptNo = {"open key", "read value",  "load",          "find", "show cursor",
                       "verify",   "hide cursor", "restart watch", "free", "close key"};

class GateTable : public ::testing::TestWithParam<GateCase> {};

TEST_P(GateTable, DecidesAndCleansUp) {
    const GateCase& c = GetParam();
    Log log;
    FakeFlag flag(log);
    flag.keyExists = c.keyExists;
    flag.value = c.value;
    FakeVerifier verifier(log);
    verifier.libraryExists = c.libraryExists;
    verifier.hasEntryPoint = c.hasEntryPoint;
    verifier.answers = {c.verifierAnswer};
    FakeSaver saver(log);

    EXPECT_EQ(TryCloseSaver(CloseGate{c.isNT, flag, verifier, saver}), c.closes) << c.name;
    EXPECT_EQ(log, c.calls) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, GateTable,
    ::testing::Values(
        GateCase{"NT family closes without looking", true, true, Dword(1), true, true, false, true, {"post close"}},
        GateCase{"key missing", false, false, Dword(1), true, true, false, true, {"open key", "post close"}},
        GateCase{"value absent", false, true, std::nullopt, true, true, false, true, kNoPrompt},
        GateCase{"value 0", false, true, Dword(0), true, true, false, true, kNoPrompt},
        GateCase{"value longer than 4 bytes", false, true, std::vector<std::uint8_t>{1, 1, 1, 1, 1}, true, true, false,
                 true, kNoPrompt},
        GateCase{"empty value", false, true, std::vector<std::uint8_t>{}, true, true, false, true, kNoPrompt},
        GateCase{"library missing",
                 false,
                 true,
                 Dword(1),
                 false,
                 true,
                 false,
                 true,
                 {"open key", "read value", "load", "close key", "post close"}},
        GateCase{"entry point missing",
                 false,
                 true,
                 Dword(1),
                 true,
                 false,
                 false,
                 true,
                 {"open key", "read value", "load", "find", "show cursor", "hide cursor", "restart watch", "free",
                  "close key", "post close"}},
        GateCase{"verifier accepts", false, true, Dword(1), true, true, true, true, kPromptOk},
        GateCase{"verifier refuses", false, true, Dword(1), true, true, false, false, kPromptNo},
        GateCase{"text \"0\" counts as on", false, true, std::vector<std::uint8_t>{'0', 0}, true, true, false, false,
                 kPromptNo},
        GateCase{"only the top byte set", false, true, Dword(0x01000000), true, true, false, false, kPromptNo},
        GateCase{"one byte value", false, true, std::vector<std::uint8_t>{1}, true, true, true, true, kPromptOk}));

TEST(Gate, RefusedThenAcceptedAsksEachTime) {
    Log log;
    FakeFlag flag(log);
    flag.value = Dword(1);
    FakeVerifier verifier(log);
    verifier.answers = {false, true};
    FakeSaver saver(log);
    const CloseGate gate{false, flag, verifier, saver};

    EXPECT_FALSE(TryCloseSaver(gate));
    EXPECT_EQ(log, kPromptNo);
    log.clear();
    EXPECT_TRUE(TryCloseSaver(gate));
    EXPECT_EQ(log, kPromptOk);
}

}  // namespace
}  // namespace wrigglet
