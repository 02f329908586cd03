// The close gate's decision: platform family, password flag, then the verifier.
#include "saver/close_gate.h"

namespace wrigglet {
namespace {

bool FlagIsOn(PasswordFlagStore& flag) {
    std::array<std::uint8_t, 4> buffer{};
    if (!flag.Read(buffer)) return false;
    // Only the bytes count: a text "0" has a non-zero byte and so is on.
    for (std::uint8_t byte : buffer) {
        if (byte != 0) return true;
    }
    return false;
}

// Runs the verifier and afterwards restarts the mouse watch, so that the moves made
// while the prompt was open do not count against the saver.
bool AskVerifier(const CloseGate& gate) {
    bool allowed = true;
    const bool found = gate.Verifier.FindEntryPoint();
    gate.Saver.ShowCursor(true);
    if (found) allowed = gate.Verifier.Verify();
    gate.Saver.ShowCursor(false);
    gate.Saver.RestartMouseWatch();
    gate.Verifier.Free();
    return allowed;
}

bool ClosingAllowed(const CloseGate& gate) {
    if (gate.IsNTPlatform) return true;
    if (!gate.Flag.Open()) return true;
    bool allowed = true;
    if (FlagIsOn(gate.Flag) && gate.Verifier.Load()) allowed = AskVerifier(gate);
    gate.Flag.Close();
    return allowed;
}

}  // namespace

bool TryCloseSaver(const CloseGate& gate) {
    const bool allowed = ClosingAllowed(gate);
    if (allowed) gate.Saver.PostClose();
    return allowed;
}

}  // namespace wrigglet
