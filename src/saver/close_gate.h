// The close gate: every user request to end the full-screen saver passes here, and on
// the older Windows family the desktop password is asked for first when one is set.
#pragma once

#include <array>
#include <cstdint>

namespace wrigglet {

// The desktop password flag, "ScreenSaveUsePassword" under "Control Panel\Desktop".
class PasswordFlagStore {
public:
    virtual ~PasswordFlagStore() = default;
    virtual bool Open() = 0;
    // Reads the value's bytes into `buffer` (4 bytes, zero beforehand), whatever its
    // type; false when the value is missing or longer than the buffer.
    virtual bool Read(std::array<std::uint8_t, 4>& buffer) = 0;
    virtual void Close() = 0;
};

// The platform's password verifier library, loaded only for one request.
class PasswordVerifier {
public:
    virtual ~PasswordVerifier() = default;
    virtual bool Load() = 0;
    virtual bool FindEntryPoint() = 0;
    // Shows the platform's prompt; true when the user may return to the desktop.
    virtual bool Verify() = 0;
    virtual void Free() = 0;
};

// What the gate does to the running saver.
class SaverControl {
public:
    virtual ~SaverControl() = default;
    virtual void ShowCursor(bool show) = 0;
    // Restarts the mouse watch at the cursor's current position.
    virtual void RestartMouseWatch() = 0;
    // Asks the saver window to end (a posted destroy message).
    virtual void PostClose() = 0;
};

struct CloseGate {
    bool IsNTPlatform = false;
    PasswordFlagStore& Flag;
    PasswordVerifier& Verifier;
    SaverControl& Saver;
};

// Decides one close request and, when closing is allowed, posts the close.
// Every failure on the way lets the saver close rather than locking the user out.
// Returns whether the close was posted.
bool TryCloseSaver(const CloseGate& gate);

}  // namespace wrigglet
