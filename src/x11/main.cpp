// wrigglet: the saver's scene as an XScreenSaver hack.
#include <cstdlib>
#include <iostream>

#include "posix/program_entry.h"
#include "posix/stop_signals.h"
#include "x11/display_deadline.h"
#include "x11/hack_window.h"
#include "x11/x11_errors.h"
#include "x11/x11_loop.h"
#include "x11/x11_options.h"

int main(int argc, char** argv) {
    using namespace wrigglet::x11;
    using wrigglet::posix::Fail;
    X11Options options;
    if (const auto status = wrigglet::posix::EnterProgram(X11CommandLine(options), argc, argv)) return *status;
    // From here a stop signal waits for the loop (or a set-up's next look), which closes the
    // scene; the signal then ends the process.
    const sigset_t waitMask = wrigglet::posix::CatchStopSignals();
    InstallQuietErrorHandlers();
    const char* requested = options.Display.empty() ? nullptr : options.Display.c_str();
    const std::string name = XDisplayName(requested);
    if (name.empty()) return Fail(std::cerr, "wrigglet", "no display: DISPLAY is not set and -display is not given");
    DisplayDeadline deadline("wrigglet: the display " + name + " does not answer");
    Display* display = XOpenDisplay(requested);
    if (!display) return Fail(std::cerr, "wrigglet", "cannot open the display " + name);
    std::string error;
    const auto window = OpenHackWindow(display, options, std::getenv("XSCREENSAVER_WINDOW"), error);
    deadline.Disarm();
    if (!window) {
        XCloseDisplay(display);
        return Fail(std::cerr, "wrigglet", error);
    }
    const int status = RunX11Loop(options, *window, waitMask, std::cout);
    CloseHackWindow(display, *window);
    XCloseDisplay(display);
    wrigglet::posix::EndByStopSignal();
    return status;
}
