// Drives wrigglet-wayland's session-bus parts as its loop does and prints, a line each, what
// they did, for session-bus.sh to compare: leaving GNOME's overview (there is no Shell), two
// portal screenshots (the stand-in answers only the first), then GNOME's idle watch until it
// has heard idle, back, idle.
#include <poll.h>

#include <iostream>

#include "image/png_read.h"
#include "wayland/gnome_shell.h"
#include "wayland/idle_watch.h"
#include "wayland/portal_screenshot.h"

using namespace wrigglet;
using namespace wrigglet::wayland;
using Clock = std::chrono::steady_clock;

namespace {

// One turn of the loop: waits for the bus or `deadline`, then runs what came.
void Turn(SessionBus& bus, Clock::time_point deadline) {
    if (const auto due = bus.Deadline(); due && *due < deadline) deadline = *due;
    pollfd entry = bus.WaitEntry();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    poll(&entry, 1, static_cast<int>(std::max<int64_t>(0, left) + 1));
    bus.Process();
}

// The stand-in's own account: Said("inhibited"), Said("closed").
bool Said(SessionBus& bus, const char* what) {
    int answer = 0;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus.Get(), "org.wrigglet.Test", "/", "org.wrigglet.Test", "Said", nullptr, &reply, "s",
                           what) >= 0)
        sd_bus_message_read(reply, "b", &answer);
    sd_bus_message_unref(reply);
    return answer;
}

}  // namespace

int main() {
    SessionBus bus;
    std::cout << "bus: " << (bus.Open() ? "open" : "none") << "\n";
    std::cout << "overview left: " << (LeaveOverview(bus) ? "yes" : "no") << "\n";
    for (int i = 0; i < 2; ++i) {
        PortalScreenshot shot;
        RequestPortalScreenshot(shot, bus, Clock::now());
        while (!shot.Done) {
            Turn(bus, shot.Deadline);
            CheckPortalDeadline(shot, Clock::now());
        }
        image::RgbPicture picture;
        if (!shot.Path.empty() && image::ReadRgbPng(shot.Path, picture).empty())
            std::cout << "desktop: " << picture.Width << "x" << picture.Height << "\n";
        else
            std::cout << "desktop: none, " << shot.Why << (Said(bus, "closed") ? ", request closed" : "") << "\n";
        RemovePortalFile(shot);
    }
    IdleWatch watch;
    std::cout << "idle source: " << IdleSourceName(ArmIdleWatch(watch, nullptr, bus, 100)) << "\n";
    const auto end = Clock::now() + std::chrono::seconds(10);
    for (int heard = 0; watch.Source != IdleSource::None && heard < 3 && Clock::now() < end;) {
        Turn(bus, end);
        const IdleChange change = TakeIdleChange(watch);
        if (change == IdleChange::Back) std::cout << "back\n";
        if (change == IdleChange::Idle)
            std::cout << "idle, inhibited: " << (Said(bus, "inhibited") ? "yes" : "no") << "\n";
        if (change != IdleChange::None && ++heard == 1)  // then the user is back
            sd_bus_call_method(bus.Get(), "org.wrigglet.Test", "/", "org.wrigglet.Test", "Touch", nullptr, nullptr, "");
    }
    ReleaseIdleWatch(watch);
}
