// Reading the image settings from X resource files: "name: value" lines, '!' or '#'
// comments, a trailing backslash continuing a line; a resource's name is the last part of
// its full name ("XScreenSaver*grabDesktopImages" is grabDesktopImages).
#include "x11/image_settings.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>

namespace wrigglet::x11 {

namespace {

std::string_view Trim(std::string_view text) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

// Xt's spellings of a boolean resource.
std::optional<bool> ResourceBool(std::string_view value) {
    std::string lower(value);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "true" || lower == "yes" || lower == "on" || lower == "1") return true;
    if (lower == "false" || lower == "no" || lower == "off" || lower == "0") return false;
    return std::nullopt;
}

void ApplyResource(ImageSettings& settings, std::string_view line) {
    line = Trim(line);
    const size_t colon = line.find(':');
    if (line.empty() || line.front() == '!' || line.front() == '#' || colon == std::string_view::npos) return;
    std::string_view name = Trim(line.substr(0, colon));
    if (const size_t last = name.find_last_of("*."); last != std::string_view::npos) name.remove_prefix(last + 1);
    const std::string_view value = Trim(line.substr(colon + 1));
    if (name == "imageDirectory") settings.ImageDirectory = value;
    bool* flag = name == "grabDesktopImages"    ? &settings.GrabDesktop
                 : name == "chooseRandomImages" ? &settings.ChooseImages
                                                : nullptr;
    if (const std::optional<bool> on = ResourceBool(value); flag && on) *flag = *on;
}

}  // namespace

void ApplyImageResources(ImageSettings& settings, std::string_view text) {
    std::string line;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view part = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const bool continued = !part.empty() && part.back() == '\\';
        if (continued) part.remove_suffix(1);
        line += part;
        if (continued && !text.empty()) continue;
        ApplyResource(settings, line);
        line.clear();
    }
}

ImageSettings LoadImageSettings(const std::vector<std::string>& files) {
    ImageSettings settings;
    for (const std::string& path : files) {
        std::ifstream file(path);
        if (!file) continue;
        std::ostringstream text;
        text << file.rdbuf();
        ApplyImageResources(settings, text.str());
    }
    return settings;
}

std::vector<std::string> ImageSettingsFiles(const std::string& home) {
    // Xt's search order for the app-defaults: Debian keeps them under /etc, others under /usr/share.
    std::vector<std::string> files;
    for (const char* defaults : {"/etc/X11/app-defaults/XScreenSaver", "/usr/share/X11/app-defaults/XScreenSaver"})
        if (std::ifstream(defaults)) {
            files.emplace_back(defaults);
            break;
        }
    if (!home.empty()) files.push_back(home + "/.xscreensaver");
    return files;
}

StartPicture ChooseStartPicture(const ImageSettings& settings, bool desktopOption) {
    if (!desktopOption) return StartPicture::Black;
    if (settings.GrabDesktop) return StartPicture::Desktop;
    if (settings.ChooseImages && !settings.ImageDirectory.empty()) return StartPicture::ImageFolder;
    return StartPicture::Black;
}

std::string ImageFolder(const ImageSettings& settings, const std::string& home) {
    const std::string& folder = settings.ImageDirectory;
    if (folder == "~" || folder.starts_with("~/")) return home + folder.substr(1);
    return folder;
}

}  // namespace wrigglet::x11
