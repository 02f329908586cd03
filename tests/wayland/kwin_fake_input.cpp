// Input for the KWin scenarios through KWin's fake-input protocol, as a remote-control tool sends
// it. kwin-fake-input holds one fake device for as long as it runs, says "ready", then takes one
// event a line from standard input and answers "done" once KWin has it: "key CODE" and
// "click CODE" press and release an evdev key or button, "move DX DY" moves the pointer.
// KWin offers the protocol only with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 and to clients it can
// identify, that is, of its own user.
#include <wayland-client.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "fake-input-client-protocol.h"

namespace {

constexpr uint32_t Released = 0;
constexpr uint32_t Pressed = 1;

void Announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto* fakeInput = static_cast<org_kde_kwin_fake_input**>(data);
    if (std::string_view(interface) == org_kde_kwin_fake_input_interface.name && version >= 4) {
        *fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    }
}

void Forget(void*, wl_registry*, uint32_t) {}

const wl_registry_listener RegistryListener = {Announce, Forget};

// Sends the event a line names; false when it names none this knows.
bool Send(org_kde_kwin_fake_input* fakeInput, const std::string& line) {
    std::istringstream words(line);
    std::string event;
    int first = 0, second = 0;
    if (!(words >> event >> first)) return false;
    const auto code = static_cast<uint32_t>(first);
    if (event == "key") {
        org_kde_kwin_fake_input_keyboard_key(fakeInput, code, Pressed);
        org_kde_kwin_fake_input_keyboard_key(fakeInput, code, Released);
    } else if (event == "click") {
        org_kde_kwin_fake_input_button(fakeInput, code, Pressed);
        org_kde_kwin_fake_input_button(fakeInput, code, Released);
    } else if (event == "move" && words >> second) {
        org_kde_kwin_fake_input_pointer_motion(fakeInput, wl_fixed_from_int(first), wl_fixed_from_int(second));
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("kwin-fake-input: cannot connect to the Wayland display\n", stderr);
        return 1;
    }
    org_kde_kwin_fake_input* fakeInput = nullptr;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &fakeInput);
    wl_display_roundtrip(display);
    int status = 0;
    if (fakeInput == nullptr) {
        std::fputs("kwin-fake-input: the compositor offers this client no org_kde_kwin_fake_input 4\n", stderr);
        status = 1;
    } else {
        org_kde_kwin_fake_input_authenticate(fakeInput, "Wrigglet tests", "input for the scenarios");
        wl_display_roundtrip(display);
        std::cout << "ready" << std::endl;
        for (std::string line; status == 0 && std::getline(std::cin, line);) {
            const bool known = Send(fakeInput, line);
            // The round trip returns once KWin has handled every event sent before it.
            if (wl_display_roundtrip(display) < 0) status = 1;
            std::cout << (known ? "done" : "unknown event: " + line) << std::endl;
        }
        org_kde_kwin_fake_input_destroy(fakeInput);
    }
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return status;
}
