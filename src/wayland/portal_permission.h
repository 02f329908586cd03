// Whether the desktop portal may be asked for the desktop: it must answer without asking the
// user, who is away. The portal keeps its screenshot permission for programs outside a
// sandbox in the permission store; GNOME's shows a dialog for a program without one, which
// nobody answers while the saver waits.
//
// How the loop uses it: each time the scenes are to show from the portal's picture,
// ChoosePortal(LookUpScreenshotPermission(bus), GnomeShellRunning(bus)); ask the portal when
// it says so, else start from black with a line saying Why.
#pragma once

#include <systemd/sd-bus.h>

#include <string>

namespace wrigglet::wayland {

// The permission store's word for screenshots of programs outside a sandbox ("ask" is Unset:
// the user is asked).
enum class ScreenshotPermission { Unset, Yes, No };

// Reads it from org.freedesktop.impl.portal.PermissionStore; Unset without a store or an entry.
ScreenshotPermission LookUpScreenshotPermission(sd_bus* bus);

// True when GNOME Shell is on the bus: its portal asks the user where no permission is set.
bool GnomeShellRunning(sd_bus* bus);

// The command that lets the portal take screenshots for programs outside a sandbox.
inline constexpr const char* AllowScreenshotsCommand =
    "busctl --user call org.freedesktop.impl.portal.PermissionStore /org/freedesktop/impl/portal/PermissionStore "
    "org.freedesktop.impl.portal.PermissionStore SetPermission sbssas screenshot true screenshot '' 1 yes";

struct PortalChoice {
    bool Ask = false;  // ask the portal for the desktop
    std::string Why;   // else why not, in a few words
};

PortalChoice ChoosePortal(ScreenshotPermission permission, bool gnomeShell);

}  // namespace wrigglet::wayland
