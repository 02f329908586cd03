// The desktop portal's answer as wrigglet-wayland reads it, and where the portal's file may be
// removed from (the deadline is the session-bus test's).
#include "wayland/portal_screenshot.h"

#include <gtest/gtest.h>

namespace wrigglet::wayland {
namespace {

TEST(PortalScreenshot, APictureOnlyFromADoneAnswerWithALocalFile) {
    const struct {
        uint32_t response;
        std::string uri, path;
    } rows[] = {
        {0, "file:///run/user/1000/Screenshot.png", "/run/user/1000/Screenshot.png"},
        {0, "file://localhost/tmp/a%20b.png", "/tmp/a b.png"},
        {0, "", ""},
        {0, "https://example.org/a.png", ""},
        {0, "file://host/tmp/a.png", ""},
        {0, "file:///tmp/a%00.png", ""},
        {0, "file:///tmp/a%2.png", ""},
        {1, "file:///tmp/a.png", ""},  // the user was asked and cancelled
        {2, "file:///tmp/a.png", ""},
    };
    for (const auto& row : rows) {
        const PortalAnswer answer = ReadPortalAnswer(row.response, row.uri);
        EXPECT_EQ(answer.Path, row.path) << row.uri;
        EXPECT_EQ(answer.Why.empty(), !row.path.empty()) << row.uri;
    }
}

TEST(PortalScreenshot, TheFileIsRemovedOnlyFromInsideTheScratchFolders) {
    const std::vector<std::string> folders{"/tmp", "/home/ann/.cache/", "/"};
    const struct {
        std::string path;
        bool inside;
    } rows[] = {
        {"/tmp/shot.png", true},
        {"/home/ann/.cache/portal/shot.png", true},
        {"/tmp", false},
        {"/tmpx/shot.png", false},
        {"/tmp/../etc/passwd", false},
        {"/home/ann/.cache/./a.png", false},
        {"/home/ann/Pictures/a.png", false},  // "/" is no scratch folder
        {"tmp/shot.png", false},
    };
    for (const auto& row : rows) EXPECT_EQ(InsideFolder(row.path, folders), row.inside) << row.path;
}

}  // namespace
}  // namespace wrigglet::wayland
