// The shipped .scr files: GUI-subsystem executables for the right processor, linked
// statically (no MinGW runtime DLLs to carry along), importing only DLLs the system
// protects (the sound and password libraries come from the system folder at run time),
// and stripped, with their debug information kept beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <set>
#include <string>

#include "pe_resources.h"

namespace {

using wrigglet::testing::PeImage;

struct ScrCase {
    const char* path;
    std::uint16_t machine;
};

class ScrImage : public ::testing::TestWithParam<ScrCase> {};

// The DLLs Windows loads only from the system folder (its KnownDLLs), so a copy planted
// beside the saver can't stand in for one of them.
const std::set<std::string> SystemProtectedDlls{"advapi32.dll", "comdlg32.dll", "gdi32.dll",   "kernel32.dll",
                                                "msvcrt.dll",   "ole32.dll",    "shell32.dll", "user32.dll"};

TEST_P(ScrImage, IsAStrippedStaticGuiExecutableImportingOnlyProtectedDlls) {
    const std::string path = GetParam().path;
    if (!std::ifstream(path)) GTEST_SKIP() << path << " is missing: the win64 and win32 presets build it";
    const wrigglet::testing::Bytes file = wrigglet::testing::ReadWholeFile(path);
    const PeImage image = wrigglet::testing::ReadPeImage(file);
    EXPECT_EQ(image.Machine, GetParam().machine);
    EXPECT_EQ(image.Subsystem, 2) << "2 is the Windows GUI subsystem";
    ASSERT_FALSE(image.Imports.empty());
    EXPECT_NE(std::find(image.Imports.begin(), image.Imports.end(), "user32.dll"), image.Imports.end());
    for (const std::string& name : image.Imports) {
        EXPECT_TRUE(SystemProtectedDlls.count(name)) << name << " is not a DLL the system protects";
    }
    EXPECT_EQ(image.SymbolCount, 0u) << "the .scr is stripped";
    EXPECT_EQ(image.TimeStamp, 0u) << "a build time in the header makes every build differ";
    EXPECT_LT(file.size(), 400u * 1024);
    EXPECT_TRUE(std::ifstream(path + ".debug")) << "the debug information stays beside the .scr";
}

void PrintTo(const ScrCase& c, std::ostream* os) {
    const std::string path = c.path;
    *os << path.substr(path.rfind('/') + 1);
}

INSTANTIATE_TEST_SUITE_P(Builds, ScrImage,
                         ::testing::Values(ScrCase{WRIGGLET_WIN64_DIR "/wrigglet2004.scr", 0x8664},
                                           ScrCase{WRIGGLET_WIN32_DIR "/wrigglet2004-x86.scr", 0x014C}));

}  // namespace
