// X errors are never shown and never end the hack: a handler that swallows them, and a
// trap that tells a caller whether the requests it just made failed.
#pragma once

#include <X11/Xlib.h>

namespace wrigglet::x11 {

// Protocol errors are ignored (counted for the trap); a lost display ends the process
// quietly with status 0, as a hack whose display went away has nothing left to do.
void InstallQuietErrorHandlers();

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    // Waits for the server to process what was sent since the trap was set.
    bool Failed();

private:
    Display* display_;
    unsigned long before_;
};

}  // namespace wrigglet::x11
