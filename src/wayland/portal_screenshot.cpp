// The desktop portal's Screenshot call, its Response signal, the deadline, and the removal of
// the file the portal made for the request.
#include "wayland/portal_screenshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>

namespace wrigglet::wayland {

namespace {

constexpr const char* Portal = "org.freedesktop.portal.Desktop";
constexpr const char* PortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* ScreenshotInterface = "org.freedesktop.portal.Screenshot";

PortalScreenshot& Of(void* data) { return *static_cast<PortalScreenshot*>(data); }

void Finish(PortalScreenshot& shot, const PortalAnswer& answer) {
    shot.Response = sd_bus_slot_unref(shot.Response);
    shot.Call = sd_bus_slot_unref(shot.Call);
    shot.Done = true;
    shot.Path = answer.Path;
    shot.Why = answer.Why;
}

// The "uri" of the Response's results, or an empty string.
std::string ResultUri(sd_bus_message* message) {
    std::string uri;
    if (sd_bus_message_enter_container(message, 'a', "{sv}") <= 0) return uri;
    while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
        const char* key = nullptr;
        const char* value = nullptr;
        if (sd_bus_message_read(message, "s", &key) < 0) break;
        if (std::string_view(key) == "uri" && sd_bus_message_read(message, "v", "s", &value) >= 0)
            uri = value;
        else
            sd_bus_message_skip(message, "v");
        sd_bus_message_exit_container(message);
    }
    return uri;
}

int OnResponse(sd_bus_message* message, void* data, sd_bus_error*) {
    uint32_t response = 2;
    std::string uri;
    if (sd_bus_message_read(message, "u", &response) >= 0) uri = ResultUri(message);
    Finish(Of(data), ReadPortalAnswer(response, uri));
    return 0;
}

bool ListenToRequest(PortalScreenshot& shot, const std::string& handle) {
    shot.Response = sd_bus_slot_unref(shot.Response);
    shot.Handle = handle;
    return sd_bus_match_signal(shot.Bus, &shot.Response, Portal, handle.c_str(), "org.freedesktop.portal.Request",
                               "Response", OnResponse, &shot) >= 0;
}

// The portal answers the call with the request's path, which older portals choose themselves.
int OnCalled(sd_bus_message* reply, void* data, sd_bus_error*) {
    PortalScreenshot& shot = Of(data);
    shot.Call = sd_bus_slot_unref(shot.Call);
    const char* handle = nullptr;
    if (const sd_bus_error* error = sd_bus_message_get_error(reply))
        Finish(shot, {"", sd_bus_error_has_name(error, SD_BUS_ERROR_SERVICE_UNKNOWN)
                              ? "no desktop portal on the session bus"
                              : std::string("the desktop portal's Screenshot call failed (") + error->name + ")"});
    else if (sd_bus_message_read(reply, "o", &handle) < 0)
        Finish(shot, {"", "the desktop portal's answer is unreadable"});
    else if (shot.Handle != handle && !ListenToRequest(shot, handle))
        Finish(shot, {"", "cannot follow the desktop portal's request"});
    return 0;
}

// Where the portal puts the request for this sender and token: its unique name without the
// ':' and with '_' for '.'.
std::string RequestPath(std::string_view sender, const std::string& token) {
    std::string path = std::string(PortalPath) + "/request/";
    for (char c : sender.substr(sender.starts_with(':') ? 1 : 0)) path += c == '.' ? '_' : c;
    return path + "/" + token;
}

}  // namespace

void WakePortal(SessionBus& bus) {
    if (bus.Connected())
        sd_bus_call_method_async(bus.Get(), nullptr, Portal, PortalPath, "org.freedesktop.DBus.Peer", "Ping", nullptr,
                                 nullptr, "");
}

void RequestPortalScreenshot(PortalScreenshot& shot, SessionBus& bus, std::chrono::steady_clock::time_point now) {
    ReleasePortalScreenshot(shot);
    shot.Done = false;
    shot.Bus = bus.Get();
    shot.Deadline = now + PortalAnswerBound;
    clock_gettime(CLOCK_REALTIME_COARSE, &shot.Sent);
    const char* sender = nullptr;
    if (!bus.Connected() || sd_bus_get_unique_name(shot.Bus, &sender) < 0)
        return Finish(shot, {"", "no session bus to ask the desktop portal on"});
    static uint32_t requests = 0;  // the process's, for each request's own token
    const std::string token = "wrigglet" + std::to_string(++requests);
    // The call itself may take as long as the answer: a portal the bus starts on demand is slow to reply.
    sd_bus_message* call = nullptr;
    const bool called =
        ListenToRequest(shot, RequestPath(sender, token)) &&
        sd_bus_message_new_method_call(shot.Bus, &call, Portal, PortalPath, ScreenshotInterface, "Screenshot") >= 0 &&
        sd_bus_message_append(call, "sa{sv}", "", 2, "handle_token", "s", token.c_str(), "interactive", "b", 0) >= 0 &&
        sd_bus_call_async(shot.Bus, &shot.Call, call, OnCalled, &shot,
                          std::chrono::microseconds(PortalAnswerBound).count()) >= 0;
    sd_bus_message_unref(call);
    if (!called) Finish(shot, {"", "cannot call the desktop portal"});
}

void CheckPortalDeadline(PortalScreenshot& shot, std::chrono::steady_clock::time_point now) {
    if (shot.Done || now < shot.Deadline) return;
    if (shot.Bus && !shot.Handle.empty())
        sd_bus_call_method_async(shot.Bus, nullptr, Portal, shot.Handle.c_str(), "org.freedesktop.portal.Request",
                                 "Close", nullptr, nullptr, "");
    const auto ms = PortalAnswerBound.count();
    const std::string tenths = ms % 1000 ? "." + std::to_string(ms % 1000 / 100) : "";
    Finish(shot, {"", "the desktop portal did not answer within " + std::to_string(ms / 1000) + tenths + " s"});
}

void ReleasePortalScreenshot(PortalScreenshot& shot) {
    sd_bus_slot_unref(shot.Response);
    sd_bus_slot_unref(shot.Call);
    shot = {};
}

PortalAnswer ReadPortalAnswer(uint32_t response, std::string_view uri) {
    if (response == 1) return {"", "the desktop portal's screenshot was cancelled"};
    if (response != 0) return {"", "the desktop portal refused the screenshot"};
    if (uri.empty()) return {"", "the desktop portal answered without a picture"};
    if (const std::optional<std::string> path = FileUriPath(uri)) return {*path, ""};
    return {"", "the desktop portal's picture is no local file: " + std::string(uri)};
}

std::optional<std::string> FileUriPath(std::string_view uri) {
    constexpr std::string_view Scheme = "file://";
    if (!uri.starts_with(Scheme)) return std::nullopt;
    uri.remove_prefix(Scheme.size());
    if (uri.starts_with("localhost/")) uri.remove_prefix(9);
    if (!uri.starts_with('/')) return std::nullopt;
    std::string path;
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] != '%') {
            path += uri[i];
            continue;
        }
        unsigned byte = 0;
        const char* digits = uri.data() + i + 1;
        if (i + 2 >= uri.size() || std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2 || byte == 0)
            return std::nullopt;
        path += static_cast<char>(byte);
        i += 2;
    }
    return path;
}

void RemovePortalFile(const PortalScreenshot& shot) {
    struct statx file {};
    if (!shot.Path.empty() &&
        statx(AT_FDCWD, shot.Path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &file) == 0 &&
        PortalFileRemovable(file, getuid(), shot.Sent))
        unlink(shot.Path.c_str());
}

bool PortalFileRemovable(const struct statx& file, uid_t user, timespec sent) {
    // Files are stamped from the coarse clock the request's time was read from. Where the file
    // system keeps no birth time, the change time, which only the kernel sets, says when the
    // file was made at the latest.
    const auto since = [&sent](const statx_timestamp& at) {
        return at.tv_sec > sent.tv_sec || (at.tv_sec == sent.tv_sec && at.tv_nsec >= sent.tv_nsec);
    };
    const statx_timestamp& made = (file.stx_mask & STATX_BTIME) ? file.stx_btime : file.stx_ctime;
    return S_ISREG(file.stx_mode) && file.stx_uid == user && since(made) && since(file.stx_mtime);
}

}  // namespace wrigglet::wayland
