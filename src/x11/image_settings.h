// The user's XScreenSaver image settings, which its image-using hacks honour: whether a hack
// may show the desktop (a locked screen would otherwise show what the user left on it), and
// else whether it starts from a picture of the user's image folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wrigglet::x11 {

struct ImageSettings {
    bool GrabDesktop = true;     // grabDesktopImages; XScreenSaver's own default when nothing says
    bool ChooseImages = false;   // chooseRandomImages
    std::string ImageDirectory;  // imageDirectory; "~/" is the home folder
};

// Applies the image resources of a resource file's text over `settings`: the daemon's
// app-defaults ("*grabDesktopImages: False") or ~/.xscreensaver ("grabDesktopImages: False").
void ApplyImageResources(ImageSettings& settings, std::string_view text);

// Each of these files that exists, in order, the later overriding the earlier.
ImageSettings LoadImageSettings(const std::vector<std::string>& files);

// Where XScreenSaver keeps them: its app-defaults, then the user's ~/.xscreensaver.
std::vector<std::string> ImageSettingsFiles(const std::string& home);

enum class StartPicture { Desktop, ImageFolder, Black };

// What a scene starts from when -desktop asks for the desktop: the desktop if the user lets
// hacks grab it, else a picture of the image folder if they chose one, else black.
StartPicture ChooseStartPicture(const ImageSettings& settings, bool desktopOption);

// The image folder with a leading "~/" made the home folder's.
std::string ImageFolder(const ImageSettings& settings, const std::string& home);

}  // namespace wrigglet::x11
