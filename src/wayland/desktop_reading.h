// Reading what each output starts from, before any surface of the program covers it, each
// time the scenes are about to show: -picture, the outputs copied through wlroots' screen
// copy, or the desktop portal's picture of the whole desktop cut into the outputs' parts.
#pragma once

#include <wayland-client.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/stop_request.h"
#include "image/picture_sampling.h"
#include "wayland/desktop_pictures.h"
#include "wayland/portal_screenshot.h"
#include "wayland/session_bus.h"
#include "wayland/wayland_globals.h"
#include "wayland/wayland_options.h"
#include "wayland/wayland_outputs.h"

namespace wrigglet::wayland {

// With -picture, the picture scaled to cover each output that has none at its size yet
// (the file read once for them all); else, with the desktop wanted, each output as it shows
// now, copied where the compositor offers wlroots' screen copy. An output that can't be
// read starts from black, with a line to `errors`. A stop request cuts the reading short.
void ReadDesktops(wl_display* display, const WaylandGlobals& globals, const WaylandOptions& options,
                  const std::vector<const WaylandOutput*>& outputs, DesktopPictures& desktop, std::ostream& errors,
                  const StopRequest& stop);

// True when the desktop must come from the desktop portal: it is wanted, there is no
// -picture, and the compositor does not let the outputs be copied.
bool ReadsThroughPortal(const WaylandGlobals& globals, const WaylandOptions& options);

// Asks the portal for the whole desktop where it answers without asking the user
// (portal_permission.h); else `shot` is done at once, with the reason. The loop then drives
// `shot` as portal_screenshot.h says.
void AskPortalForDesktop(PortalScreenshot& shot, SessionBus& bus);

// Once `shot` is done: the outputs' parts of the portal's picture (of any size, read a row at
// a time), its file removed; or none, and a line to `errors`: the outputs start from black.
void UsePortalDesktop(PortalScreenshot& shot, const std::vector<const WaylandOutput*>& outputs,
                      DesktopPictures& desktop, std::ostream& errors);

}  // namespace wrigglet::wayland
