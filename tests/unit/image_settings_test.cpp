// The user's XScreenSaver image settings decide the hack's starting picture: one table of
// the daemon's defaults, the user's file and -desktop.
#include "x11/image_settings.h"

#include <gtest/gtest.h>

namespace wrigglet::x11 {
namespace {

struct Case {
    const char* defaults;  // an app-defaults file
    const char* user;      // ~/.xscreensaver
    bool desktopOption;
    StartPicture picture;
    const char* folder;
};

// As Debian ships them.
constexpr const char* DebianDefaults =
    "! XScreenSaver defaults\n*grabDesktopImages:\tFalse\n*grabVideoFrames:\tFalse\n"
    "*chooseRandomImages:\tFalse\n*imageDirectory:\t\n";

TEST(ImageSettings, ChooseTheStartingPicture) {
    const Case cases[] = {
        {"", "", true, StartPicture::Desktop, ""},  // no XScreenSaver: its own default
        {DebianDefaults, "", true, StartPicture::Black, ""},
        {DebianDefaults, "grabDesktopImages:\tTrue\n", true, StartPicture::Desktop, ""},
        {DebianDefaults, "grabDesktopImages: yes\n", false, StartPicture::Black, ""},
        {DebianDefaults, "chooseRandomImages: True\nimageDirectory:\t~/Pictures\n", true, StartPicture::ImageFolder,
         "/home/u/Pictures"},
        {DebianDefaults, "chooseRandomImages: True\n", true, StartPicture::Black, ""},
        {"XScreenSaver*grabDesktopImages: on\n", "# grabDesktopImages: False\n", true, StartPicture::Desktop, ""},
        {DebianDefaults, "programs: \\\n  wrigglet --root -display :0 \\n\\\n  grabDesktopImages: True\n", true,
         StartPicture::Black, ""},  // a continued line belongs to the resource it continues
        {DebianDefaults, "grabDesktopImages: maybe\nimageDirectory: /srv/pictures \nchooseRandomImages: 1\n", true,
         StartPicture::ImageFolder, "/srv/pictures"},
    };
    for (const Case& c : cases) {
        ImageSettings settings;
        ApplyImageResources(settings, c.defaults);
        ApplyImageResources(settings, c.user);
        SCOPED_TRACE(std::string(c.defaults) + "|" + c.user);
        EXPECT_EQ(ChooseStartPicture(settings, c.desktopOption), c.picture);
        EXPECT_EQ(ImageFolder(settings, "/home/u"), c.folder);
    }
}

}  // namespace
}  // namespace wrigglet::x11
