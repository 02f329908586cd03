// The shipped .scr files: GUI-subsystem executables for the right processor, linked
// statically (no MinGW runtime DLLs to carry along), and with the password libraries
// left to run time (never imported, so the saver starts on systems without them).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

#include "pe_resources.h"

namespace {

using wrigglet::testing::PeImage;

struct ScrCase {
    const char* path;
    std::uint16_t machine;
};

class ScrImage : public ::testing::TestWithParam<ScrCase> {};

TEST_P(ScrImage, IsAStaticGuiExecutableWithoutPasswordImports) {
    const std::string path = GetParam().path;
    if (!std::ifstream(path)) FAIL() << path << " is missing: build the win64 and win32 presets first";
    const PeImage image = wrigglet::testing::ReadPeImage(wrigglet::testing::ReadWholeFile(path));
    EXPECT_EQ(image.Machine, GetParam().machine);
    EXPECT_EQ(image.Subsystem, 2) << "2 is the Windows GUI subsystem";
    ASSERT_FALSE(image.Imports.empty());
    EXPECT_NE(std::find(image.Imports.begin(), image.Imports.end(), "user32.dll"), image.Imports.end());
    for (const std::string& name : image.Imports) {
        EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
        EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
        EXPECT_EQ(name.find("libwinpthread"), std::string::npos) << name;
        EXPECT_NE(name, "mpr.dll") << "MPR.DLL is loaded by name at run time";
        EXPECT_NE(name, "password.cpl") << "PASSWORD.CPL is loaded by name at run time";
    }
}

void PrintTo(const ScrCase& c, std::ostream* os) {
    const std::string path = c.path;
    *os << path.substr(path.rfind('/') + 1);
}

INSTANTIATE_TEST_SUITE_P(Builds, ScrImage,
                         ::testing::Values(ScrCase{WRIGGLET_WIN64_DIR "/wrigglet2004.scr", 0x8664},
                                           ScrCase{WRIGGLET_WIN32_DIR "/wrigglet2004-x86.scr", 0x014C}));

}  // namespace
