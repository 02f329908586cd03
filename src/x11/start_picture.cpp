// Choosing and taking the starting picture.
#include "x11/start_picture.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "posix/helper_process.h"
#include "x11/image_settings.h"

namespace wrigglet::x11 {

namespace {

using posix::FindHelper;
using posix::RunHelper;

// Where Debian and others install XScreenSaver's helpers, when $PATH doesn't name them
// (XScreenSaver puts its own folder there for its hacks).
const std::vector<std::string> HelperFolders{"/usr/libexec/xscreensaver", "/usr/lib/xscreensaver"};

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

std::string Hex(unsigned long id) {
    std::ostringstream out;
    out << "0x" << std::hex << id;
    return out.str();
}

// The chosen file: the helper prints it relative to the folder, or whole.
std::string ChooseFile(const std::string& folder, const StopRequest& stop) {
    const std::string helper = FindHelper("xscreensaver-getimage-file", HelperFolders);
    if (helper.empty()) return "";
    const std::optional<std::string> printed = RunHelper({helper, folder}, stop);
    if (!printed) return "";
    const std::string file = printed->substr(0, printed->find('\n'));
    if (file.empty() || file.front() == '/') return file;
    return folder + "/" + file;
}

}  // namespace

DesktopImage TakeFolderPicture(const X11Window& window, const std::string& folder, const StopRequest& stop) {
    const std::string helper = FindHelper("xscreensaver-getimage", HelperFolders);
    const std::string file = helper.empty() ? "" : ChooseFile(folder, stop);
    if (file.empty()) return {};
    Display* display = window.Connection;
    // No more than the screen shows: a window larger than the screen gets black beyond it.
    const int screen = DefaultScreen(display);
    const unsigned width = static_cast<unsigned>(std::min(window.Width, DisplayWidth(display, screen)));
    const unsigned height = static_cast<unsigned>(std::min(window.Height, DisplayHeight(display, screen)));
    const Pixmap pixmap = XCreatePixmap(display, window.Id, width, height, static_cast<unsigned>(window.Depth));
    XSync(display, False);  // the helper draws on it through a connection of its own
    DesktopImage picture;
    if (!RunHelper({helper, "--display", DisplayString(display), "--no-desktop", "--no-video", "--images", "--file",
                    file, Hex(window.Id), Hex(pixmap)},
                   stop) ||
        !ReadDrawable(display, pixmap, window.WindowVisual, picture))
        picture = {};
    XFreePixmap(display, pixmap);
    return picture;
}

DesktopImage TakeStartPicture(const HackWindow& window, bool desktopOption, const StopRequest& stop) {
    const std::string home = HomeFolder();
    const ImageSettings settings = LoadImageSettings(ImageSettingsFiles(home));
    const X11Window& target = window.Target;
    switch (ChooseStartPicture(settings, desktopOption)) {
        case StartPicture::Desktop:
            return TakeDesktop(target.Connection, target.Id, window.IsRoot);
        case StartPicture::ImageFolder:
            return TakeFolderPicture(target, ImageFolder(settings, home), stop);
        case StartPicture::Black:
            break;
    }
    return {};
}

}  // namespace wrigglet::x11
