// wrigglet-wayland: the saver's scene on every output of a Wayland session.
#include <wayland-client.h>

#include <cstdlib>
#include <iostream>

#include "image/png_read.h"
#include "wayland/desktop_pictures.h"
#include "wayland/wayland_options.h"
#include "wayland/wayland_loop.h"

int main(int argc, char** argv) {
    using namespace wrigglet::wayland;
    const ParsedWaylandOptions parsed = ParseWaylandArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Error.empty()) {
        std::cerr << "wrigglet-wayland: " << parsed.Error << "; " << WaylandUsageLine() << "\n";
        return 2;
    }
    const WaylandOptions& options = parsed.Options;
    if (options.Help) {
        std::cout << WaylandHelp();
        return 0;
    }
    DesktopPictures desktop;
    if (!options.Picture.empty()) {
        wrigglet::image::RgbPicture picture;
        if (const std::string error = wrigglet::image::ReadRgbPng(options.Picture, picture); !error.empty()) {
            std::cerr << "wrigglet-wayland: " << error << "\n";
            return 1;
        }
        desktop.Picture = std::move(picture);
    }
    // From here a SIGTERM waits for the loop, which closes the scenes and ends with status 0.
    const sigset_t waitMask = CatchStopSignals();
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const std::string displayName = name && *name ? name : "wayland-0";
    // Without XDG_RUNTIME_DIR a display name is no path; libwayland would say so in a line of its own.
    if (displayName[0] != '/' && !std::getenv("XDG_RUNTIME_DIR") && !std::getenv("WAYLAND_SOCKET")) {
        std::cerr << "wrigglet-wayland: no Wayland display: XDG_RUNTIME_DIR is not set\n";
        return 1;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::cerr << "wrigglet-wayland: cannot connect to the Wayland display '" << displayName << "'\n";
        return 1;
    }
    const int status = RunWayland(display, options, desktop, waitMask, std::cout, std::cerr);
    wl_display_disconnect(display);
    return status;
}
