// wrigglet: the saver's scene as an XScreenSaver hack.
#include <cstdlib>
#include <iostream>

#include "x11/hack_loop.h"
#include "x11/hack_options.h"
#include "x11/hack_window.h"
#include "x11/x11_errors.h"

int main(int argc, char** argv) {
    using namespace wrigglet::x11;
    const ParsedHackOptions parsed = ParseHackArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Error.empty()) {
        std::cerr << "wrigglet: " << parsed.Error << "; " << HackUsageLine() << "\n";
        return 2;
    }
    if (parsed.Options.Help) {
        std::cout << HackHelp();
        return 0;
    }
    // From here a SIGTERM waits for the loop, which closes the scene and ends with status 0.
    const sigset_t waitMask = CatchStopSignals();
    InstallQuietErrorHandlers();
    Display* display = XOpenDisplay(parsed.Options.Display.empty() ? nullptr : parsed.Options.Display.c_str());
    if (!display) return 0;  // nothing to draw on; a hack stays quiet
    int status = 0;
    if (const auto window = OpenHackWindow(display, parsed.Options, std::getenv("XSCREENSAVER_WINDOW"))) {
        status = RunHack(parsed.Options, *window, waitMask, std::cout);
        CloseHackWindow(display, *window);
    }
    XCloseDisplay(display);
    return status;
}
