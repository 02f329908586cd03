// The user's session bus (sd-bus), for the desktop's services: GNOME's idle monitor and
// session manager, GNOME Shell, the desktop portal. Where there is no bus the program runs
// without them: nothing here is ever fatal.
//
// How the loop drives it:
//   - once at start: bus.Open() (false: no bus; every D-Bus part is then simply absent);
//   - in every wait: add bus.WaitEntry() to the descriptors polled (its fd is -1 without a
//     bus, which poll skips) and wake no later than bus.Deadline();
//   - after every wait, whatever woke it: bus.Process(), which runs the replies and signals
//     that came (the idle watch's, the portal's). It answers false once the bus is lost; the
//     bus is then closed and Connected() false.
#pragma once

#include <poll.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <optional>

namespace wrigglet::wayland {

class SessionBus {
public:
    SessionBus() = default;
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    ~SessionBus() { Close(); }

    // Connects to the user's session bus (DBUS_SESSION_BUS_ADDRESS, else the runtime
    // directory's bus); false when there is none.
    bool Open();
    void Close();
    bool Connected() const { return Bus != nullptr; }
    sd_bus* Get() const { return Bus; }

    // What the loop polls: the connection and the events it waits for.
    pollfd WaitEntry() const;
    // When sd-bus must run again even if nothing came (a call's timeout); none: no limit.
    std::optional<std::chrono::steady_clock::time_point> Deadline() const;
    // Runs what came; false when there is no bus, or it was lost just now (and is closed).
    bool Process();

private:
    sd_bus* Bus = nullptr;
};

}  // namespace wrigglet::wayland
