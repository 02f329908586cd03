// The picture a scene starts from, as the user's XScreenSaver image settings allow: the
// desktop, a picture from their image folder, or black.
#pragma once

#include <string>

#include "core/stop_request.h"
#include "x11/desktop_image.h"
#include "x11/hack_window.h"

namespace wrigglet::x11 {

// Taken once, at start. `desktopOption`: -desktop (else black whatever the settings say).
DesktopImage TakeStartPicture(const HackWindow& window, bool desktopOption, const StopRequest& stop);

// A picture of the folder the size of `window`: xscreensaver-getimage-file chooses a file
// and xscreensaver-getimage scales it onto a pixmap, as for XScreenSaver's own hacks. None
// (black) when the helpers are missing or the folder has no picture.
DesktopImage TakeFolderPicture(const X11Window& window, const std::string& folder, const StopRequest& stop);

}  // namespace wrigglet::x11
