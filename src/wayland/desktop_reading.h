// Reading what each output starts from, before any surface of the program covers it: at the
// start, and again each time the scenes are about to show.
#pragma once

#include <wayland-client.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/stop_request.h"
#include "image/picture_sampling.h"
#include "wayland/desktop_pictures.h"
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

// The whole desktop from elsewhere (the desktop portal's screenshot, in the compositor's
// logical layout at any scale), cut into the outputs' parts.
void UseDesktopPicture(const image::PixelPicture& picture, const std::vector<const WaylandOutput*>& outputs,
                       DesktopPictures& desktop);

// The same from a PNG file. Returns an error line, or an empty string.
std::string UseDesktopPng(const std::string& path, const std::vector<const WaylandOutput*>& outputs,
                          DesktopPictures& desktop);

}  // namespace wrigglet::wayland
