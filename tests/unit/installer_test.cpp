// The two installers, read with 7-Zip (which opens NSIS installers): each is made from the
// one script for its processor and carries exactly its own build's stripped .scr and the
// side picture drawn from the saver's icon (not the installer system's own); it and the
// uninstaller it packs start with the rights of whoever runs them and carry the icon in
// every size. Only the x64 one can run here (tests/e2e/scenarios/installer.probe); this
// covers the x86 one too.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "pe_resources.h"

namespace {

using wrigglet::testing::Bytes;

struct InstallerCase {
    const char* Name;
    std::string Setup, Scr, Side, ScrName, SubType;
};

void PrintTo(const InstallerCase& c, std::ostream* out) { *out << c.Name; }

std::string Output(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class Installer : public ::testing::TestWithParam<InstallerCase> {};

TEST_P(Installer, IsTheOneScriptCarryingItsOwnScr) {
    const InstallerCase& c = GetParam();
    if (!std::ifstream(c.Setup)) GTEST_SKIP() << c.Setup << " is missing: the " << c.Name << " preset builds it";
    if (std::system("command -v 7z >/dev/null 2>&1") != 0) GTEST_SKIP() << "7z is missing (Debian's p7zip-full)";

    const std::string listing = Output("7z l -slt '" + c.Setup + "'");
    std::set<std::string> paths;
    for (std::size_t at = 0; (at = listing.find("\nPath = ", at)) != std::string::npos; ++at) {
        paths.insert(listing.substr(at + 8, listing.find('\n', at + 1) - at - 8));
    }
    paths.erase(c.Setup);  // the archive's own entry
    EXPECT_EQ(paths,
              (std::set<std::string>{"$SYSDIR/" + c.ScrName, "$PLUGINSDIR/System.dll", "$PLUGINSDIR/nsDialogs.dll",
                                     "$PLUGINSDIR/modern-wizard.bmp", "uninstall.exe"}));
    EXPECT_NE(listing.find("SubType = " + c.SubType + "\n"), std::string::npos) << listing;

    for (const auto& [inside, built] : {std::pair{"$SYSDIR/" + c.ScrName, FileBytes(c.Scr)},
                                        std::pair{std::string("$PLUGINSDIR/modern-wizard.bmp"), FileBytes(c.Side)}}) {
        const std::string carried = Output("7z x -so '" + c.Setup + "' '" + inside + "' 2>/dev/null");
        EXPECT_FALSE(built.empty()) << inside;
        EXPECT_TRUE(carried == built) << "the installer's " << inside << " has " << carried.size()
                                      << " bytes, the build made " << built.size();
    }
}

// Setup runs as whoever starts it, so that what it does for the user reaches that user; only
// the part that writes the system folder asks for an administrator, by running itself again.
// Both programs are laid out for the display's scale and show an icon drawn for each size.
TEST_P(Installer, SetupAndUninstallerStartAsTheUserDpiAwareWithEverySizeOfIcon) {
    const InstallerCase& c = GetParam();
    if (!std::ifstream(c.Setup)) GTEST_SKIP() << c.Setup << " is missing: the " << c.Name << " preset builds it";
    if (std::system("command -v 7z >/dev/null 2>&1") != 0) GTEST_SKIP() << "7z is missing (Debian's p7zip-full)";

    const std::string uninstaller = Output("7z x -so '" + c.Setup + "' uninstall.exe 2>/dev/null");
    for (const auto& [name, file] : {std::pair{"setup", FileBytes(c.Setup)}, std::pair{"uninstall.exe", uninstaller}}) {
        SCOPED_TRACE(name);
        std::string manifest;
        std::set<int> iconSizes;
        for (const auto& r : wrigglet::testing::ReadPeImage(Bytes(file.begin(), file.end())).Resources) {
            if (r.Type == "#24") manifest.assign(r.Data.begin(), r.Data.end());
            if (r.Type != "#14") continue;
            // The group's entries, 14 bytes each after a 6-byte header; a width of 0 is 256.
            for (std::size_t at = 6; at + 14 <= r.Data.size(); at += 14)
                iconSizes.insert(r.Data[at] ? r.Data[at] : 256);
        }
        EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="asInvoker")"), std::string::npos) << manifest;
        EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
        EXPECT_EQ(iconSizes, (std::set<int>{16, 24, 32, 48, 256}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Builds, Installer,
    ::testing::Values(InstallerCase{"win64", WRIGGLET_WIN64_DIR "/wrigglet2004-" WRIGGLET_VERSION "-setup-x64.exe",
                                    WRIGGLET_WIN64_DIR "/wrigglet2004.scr",
                                    WRIGGLET_WIN64_DIR "/resources/installer-side.bmp", "wrigglet2004.scr",
                                    "NSIS-3 Unicode 64-bit"},
                      InstallerCase{"win32", WRIGGLET_WIN32_DIR "/wrigglet2004-" WRIGGLET_VERSION "-setup-x86.exe",
                                    WRIGGLET_WIN32_DIR "/wrigglet2004-x86.scr",
                                    WRIGGLET_WIN32_DIR "/resources/installer-side.bmp", "wrigglet2004-x86.scr",
                                    "NSIS-3 Unicode"}));

}  // namespace
