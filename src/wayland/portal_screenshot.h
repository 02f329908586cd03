// The desktop as the desktop portal shows it (org.freedesktop.portal.Screenshot), where the
// compositor does not let the program read its outputs itself. Never interactive, and
// bounded: a portal that is missing, asks the user, refuses or is slow gives no picture and
// one line saying why, and the saver starts from black at once.
//
// How the loop drives it (the request stays where it is until done or released):
//   - once at start, where the portal may be needed: WakePortal(bus), so that a portal the bus
//     starts on demand is up by the time the user is idle;
//   - when the scenes are about to show, where the portal answers without asking the user
//     (portal_permission.h): RequestPortalScreenshot(shot, bus, now); without a bus it is done
//     at once;
//   - while !shot.Done: wake no later than shot.Deadline and, after bus.Process(), call
//     CheckPortalDeadline(shot, now);
//   - once shot.Done: shot.Path is the portal's PNG of the whole desktop in the outputs' logical
//     layout, or empty, and then shot.Why is the reason, for a line on standard error; once the
//     picture is read, RemovePortalFile(shot) deletes the file the portal made for it;
//   - at the end (or to give up early): ReleasePortalScreenshot(shot).
#pragma once

#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "wayland/session_bus.h"

namespace wrigglet::wayland {

// How long the portal may take. GNOME's portal answers in about 0.45 s at 1920x1080 and in
// 1.3 to 2 s at 3840x2160 (headless GNOME Shell 43, software rendering, a busy machine); anything
// slower is a dialog waiting for the user. The user is away, so the wait costs nothing seen.
inline constexpr std::chrono::milliseconds PortalAnswerBound{3000};

struct PortalScreenshot {
    sd_bus* Bus = nullptr;
    sd_bus_slot* Response = nullptr;  // the request's Response signal
    sd_bus_slot* Call = nullptr;      // the Screenshot call, until it is answered
    std::string Handle;               // the request object's path
    std::chrono::steady_clock::time_point Deadline{};
    timespec Sent{};  // when the call went, on the clock the file system stamps files with
    bool Done = true;
    std::string Path;  // the portal's picture (a reader must take only a regular file)
    std::string Why;   // the reason there is none, in a few words
};

// Starts the portal where the bus starts it on demand; nothing without a bus.
void WakePortal(SessionBus& bus);

void RequestPortalScreenshot(PortalScreenshot& shot, SessionBus& bus, std::chrono::steady_clock::time_point now);

// Gives up on a request not answered by its deadline (and closes it, with any dialog).
void CheckPortalDeadline(PortalScreenshot& shot, std::chrono::steady_clock::time_point now);

void ReleasePortalScreenshot(PortalScreenshot& shot);

// Deletes the portal's file, which GNOME's portal leaves in the user's pictures folder, when
// PortalFileRemovable says so; nothing else is ever deleted.
void RemovePortalFile(const PortalScreenshot& shot);

// True for the user's own regular file (not a link to one) made and written since the request
// was sent (`sent`), as statx describes it.
bool PortalFileRemovable(const struct statx& file, uid_t user, timespec sent);

// The portal's answer read: the picture file's path, or the reason there is none.
struct PortalAnswer {
    std::string Path;
    std::string Why;
};

// From the Response signal's code (0 done, 1 cancelled by the user, 2 otherwise ended) and
// its "uri" result (empty when absent).
PortalAnswer ReadPortalAnswer(uint32_t response, std::string_view uri);

// The local path a file:// URI names, %XX decoded; none for any other URI.
std::optional<std::string> FileUriPath(std::string_view uri);

}  // namespace wrigglet::wayland
