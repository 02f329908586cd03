// The desktop portal's answer as wrigglet-wayland reads it, which file of the portal's it removes,
// and when it asks the portal at all (the deadline is the session-bus test's).
#include "wayland/portal_screenshot.h"

#include <gtest/gtest.h>

#include "wayland/portal_permission.h"

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

TEST(PortalScreenshot, OnlyTheUsersOwnRegularFileMadeForTheRequestIsRemoved) {
    const timespec sent{1000, 500};
    const auto at = [](int64_t sec, uint32_t nsec) { return statx_timestamp{sec, nsec, 0}; };
    const struct {
        mode_t mode;
        uid_t owner;
        bool birth;  // the file system keeps birth times
        statx_timestamp made, written;
        bool removed;
    } rows[] = {
        {S_IFREG | 0644, 1000, true, at(1000, 500), at(1000, 900), true},
        {S_IFREG | 0644, 1000, false, at(1001, 0), at(1001, 0), true},    // the change time, then
        {S_IFREG | 0644, 1000, true, at(1000, 499), at(1001, 0), false},  // made before, written since
        {S_IFREG | 0644, 1000, false, at(999, 0), at(1001, 0), false},
        {S_IFREG | 0644, 1000, true, at(1001, 0), at(999, 0), false},  // its time set back
        {S_IFREG | 0644, 0, true, at(1001, 0), at(1001, 0), false},
        {S_IFLNK | 0777, 1000, true, at(1001, 0), at(1001, 0), false},
    };
    for (const auto& row : rows) {
        struct statx file {};
        file.stx_mode = static_cast<uint16_t>(row.mode);
        file.stx_uid = row.owner;
        file.stx_mask = STATX_BASIC_STATS | (row.birth ? STATX_BTIME : 0);
        (row.birth ? file.stx_btime : file.stx_ctime) = row.made;
        file.stx_mtime = row.written;
        EXPECT_EQ(PortalFileRemovable(file, 1000, sent), row.removed) << row.mode << " " << row.made.tv_sec;
    }
}

TEST(PortalPermission, AskedOnlyWhereItAnswersWithoutAskingTheUser) {
    using P = ScreenshotPermission;
    const struct {
        P permission;
        bool gnome, ask;
    } rows[] = {
        {P::Yes, true, true},  {P::No, true, false},  {P::Unset, true, false},
        {P::Yes, false, true}, {P::No, false, false}, {P::Unset, false, true},  // bounded by the portal's deadline
    };
    for (const auto& row : rows) {
        const PortalChoice choice = ChoosePortal(row.permission, row.gnome);
        EXPECT_EQ(choice.Ask, row.ask) << int(row.permission) << row.gnome;
        EXPECT_EQ(choice.Why.empty(), row.ask) << int(row.permission) << row.gnome;
    }
    EXPECT_NE(ChoosePortal(P::Unset, true).Why.find(AllowScreenshotsCommand), std::string::npos);
}

}  // namespace
}  // namespace wrigglet::wayland
