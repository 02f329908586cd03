// The portal's screenshot permission read from the permission store, and the rule on asking.
#include "wayland/portal_permission.h"

#include <cstdlib>
#include <string_view>

namespace wrigglet::wayland {

namespace {

constexpr const char* Store = "org.freedesktop.impl.portal.PermissionStore";
constexpr const char* StorePath = "/org/freedesktop/impl/portal/PermissionStore";

// The first word of the entry for app id "" (a program outside a sandbox) in Lookup's a{sas}.
ScreenshotPermission ReadEntry(sd_bus_message* reply) {
    ScreenshotPermission permission = ScreenshotPermission::Unset;
    if (sd_bus_message_enter_container(reply, 'a', "{sas}") <= 0) return permission;
    while (sd_bus_message_enter_container(reply, 'e', "sas") > 0) {
        const char* app = nullptr;
        char** words = nullptr;
        if (sd_bus_message_read(reply, "s", &app) < 0 || sd_bus_message_read_strv(reply, &words) < 0) break;
        if (std::string_view(app).empty() && words && words[0]) {
            const std::string_view word = words[0];
            if (word == "yes") permission = ScreenshotPermission::Yes;
            if (word == "no") permission = ScreenshotPermission::No;
        }
        for (char** word = words; word && *word; ++word) free(*word);
        free(words);
        sd_bus_message_exit_container(reply);
    }
    return permission;
}

}  // namespace

ScreenshotPermission LookUpScreenshotPermission(sd_bus* bus) {
    if (!bus) return ScreenshotPermission::Unset;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    ScreenshotPermission permission = ScreenshotPermission::Unset;
    // No table or no entry is an error (org.freedesktop.portal.Error.NotFound): nothing is set.
    if (sd_bus_call_method(bus, Store, StorePath, Store, "Lookup", &error, &reply, "ss", "screenshot", "screenshot") >=
        0)
        permission = ReadEntry(reply);
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return permission;
}

bool GnomeShellRunning(sd_bus* bus) {
    if (!bus) return false;
    sd_bus_message* reply = nullptr;
    int owned = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                           nullptr, &reply, "s", "org.gnome.Shell") >= 0)
        sd_bus_message_read(reply, "b", &owned);
    sd_bus_message_unref(reply);
    return owned != 0;
}

PortalChoice ChoosePortal(ScreenshotPermission permission, bool gnomeShell) {
    if (permission == ScreenshotPermission::No) return {false, "the desktop portal's screenshot permission is 'no'"};
    if (permission == ScreenshotPermission::Unset && gnomeShell)
        return {false, std::string("GNOME's desktop portal would ask the user first (to allow it: ") +
                           AllowScreenshotsCommand + ")"};
    return {true, ""};
}

}  // namespace wrigglet::wayland
