// wrigglet: the saver's scene as an XScreenSaver hack.
#include <cstdlib>
#include <iostream>

#include "x11/display_deadline.h"
#include "x11/hack_loop.h"
#include "x11/hack_options.h"
#include "x11/hack_window.h"
#include "x11/stop_signals.h"
#include "x11/x11_errors.h"

namespace {

int Fail(const std::string& line) {
    std::cerr << "wrigglet: " << line << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace wrigglet::x11;
    const ParsedHackOptions parsed = ParseHackArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Error.empty()) {
        std::cerr << "wrigglet: " << parsed.Error << "; " << HackUsageLine() << "\n";
        return 2;
    }
    const HackOptions& options = parsed.Options;
    if (options.Help) {
        std::cout << HackHelp();
        return 0;
    }
    // From here a stop signal waits for the loop (or a set-up's next look), which closes the
    // scene; the signal then ends the process.
    const sigset_t waitMask = CatchStopSignals();
    InstallQuietErrorHandlers();
    const char* requested = options.Display.empty() ? nullptr : options.Display.c_str();
    const std::string name = XDisplayName(requested);
    if (name.empty()) return Fail("no display: DISPLAY is not set and -display is not given");
    ArmDisplayDeadline("wrigglet: the display " + name + " does not answer");
    Display* display = XOpenDisplay(requested);
    if (!display) return Fail("cannot open the display " + name);
    std::string error;
    const auto window = OpenHackWindow(display, options, std::getenv("XSCREENSAVER_WINDOW"), error);
    DisarmDisplayDeadline();
    if (!window) {
        XCloseDisplay(display);
        return Fail(error);
    }
    const int status = RunHack(options, *window, waitMask, std::cout);
    CloseHackWindow(display, *window);
    XCloseDisplay(display);
    EndByStopSignal();
    return status;
}
