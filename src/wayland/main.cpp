// wrigglet-wayland: the saver's scene on every output of a Wayland session.
#include <wayland-client.h>

#include <cstdlib>
#include <iostream>

#include "image/png_rows.h"
#include "posix/program_entry.h"
#include "posix/stop_signals.h"
#include "wayland/desktop_pictures.h"
#include "wayland/wayland_loop.h"
#include "wayland/wayland_options.h"

int main(int argc, char** argv) {
    using namespace wrigglet::wayland;
    using wrigglet::posix::Fail;
    WaylandOptions options;
    if (const auto status = wrigglet::posix::EnterProgram(WaylandCommandLine(options), argc, argv)) return *status;
    DesktopPictures desktop;
    // Only the header: the picture is read for the outputs once they are known.
    if (!options.Picture.empty()) {
        if (const std::string error = wrigglet::image::CheckPng(options.Picture); !error.empty())
            return Fail(std::cerr, "wrigglet-wayland", error);
    }
    // From here a SIGTERM waits for the loop, which closes the scenes and ends with status 0.
    const sigset_t waitMask = wrigglet::posix::CatchStopSignals();
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const std::string displayName = name && *name ? name : "wayland-0";
    // Without XDG_RUNTIME_DIR a display name is no path; libwayland would say so in a line of its own.
    if (displayName[0] != '/' && !std::getenv("XDG_RUNTIME_DIR") && !std::getenv("WAYLAND_SOCKET"))
        return Fail(std::cerr, "wrigglet-wayland", "no Wayland display: XDG_RUNTIME_DIR is not set");
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return Fail(std::cerr, "wrigglet-wayland", "cannot connect to the Wayland display '" + displayName + "'");
    const int status = RunWaylandLoop(display, options, desktop, waitMask, std::cout, std::cerr);
    wl_display_disconnect(display);
    return status;
}
