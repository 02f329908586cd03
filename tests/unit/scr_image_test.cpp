// The shipped .scr files: GUI-subsystem executables for the right processor, linked
// statically (no MinGW runtime DLLs to carry along), importing only DLLs the system
// protects (the sound and password libraries come from the system folder at run time),
// and stripped, with their debug information kept beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct PeImage {
    std::uint16_t machine = 0;
    std::uint16_t subsystem = 0;
    std::uint32_t timeStamp = 0;       // 0: no build time, so builds are reproducible
    std::uint32_t symbolCount = 0;     // COFF symbols: none once stripped
    std::size_t fileSize = 0;
    std::vector<std::string> imports;  // DLL names, lower case
};

template <typename T>
T Read(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawOffset;
};

std::size_t FileOffset(const std::vector<Section>& sections, std::uint32_t rva) {
    for (const Section& s : sections) {
        if (rva >= s.virtualAddress && rva < s.virtualAddress + s.virtualSize) {
            return rva - s.virtualAddress + s.rawOffset;
        }
    }
    return 0;
}

// Reads just enough of a PE file: the machine, the subsystem and the imported DLL names.
PeImage ReadPeImage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    PeImage image;
    const auto pe = Read<std::uint32_t>(bytes, 0x3C);
    if (bytes.size() < 0x40 || Read<std::uint32_t>(bytes, pe) != 0x00004550u) return image;
    image.machine = Read<std::uint16_t>(bytes, pe + 4);
    image.timeStamp = Read<std::uint32_t>(bytes, pe + 8);
    image.symbolCount = Read<std::uint32_t>(bytes, pe + 16);
    image.fileSize = bytes.size();
    const auto sectionCount = Read<std::uint16_t>(bytes, pe + 6);
    const auto optionalSize = Read<std::uint16_t>(bytes, pe + 20);
    const std::size_t optional = pe + 24;
    const bool pe32plus = Read<std::uint16_t>(bytes, optional) == 0x20B;
    image.subsystem = Read<std::uint16_t>(bytes, optional + 68);
    const std::size_t directories = optional + (pe32plus ? 112 : 96);
    const auto importRva = Read<std::uint32_t>(bytes, directories + 8);

    std::vector<Section> sections;
    for (std::size_t i = 0, at = optional + optionalSize; i < sectionCount; ++i, at += 40) {
        sections.push_back({Read<std::uint32_t>(bytes, at + 12), Read<std::uint32_t>(bytes, at + 8),
                            Read<std::uint32_t>(bytes, at + 20)});
    }
    for (std::size_t entry = FileOffset(sections, importRva); entry; entry += 20) {
        const auto nameRva = Read<std::uint32_t>(bytes, entry + 12);
        if (nameRva == 0) break;
        std::string name;
        for (std::size_t at = FileOffset(sections, nameRva); at && at < bytes.size() && bytes[at]; ++at) {
            name.push_back(static_cast<char>(std::tolower(bytes[at])));
        }
        image.imports.push_back(name);
    }
    return image;
}

struct ScrCase {
    const char* path;
    std::uint16_t machine;
};

class ScrImage : public ::testing::TestWithParam<ScrCase> {};

// The DLLs Windows loads only from the system folder (its KnownDLLs), so a copy planted
// beside the saver can't stand in for one of them.
const std::set<std::string> SystemProtectedDlls{"advapi32.dll", "comdlg32.dll", "gdi32.dll",
                                               "kernel32.dll", "msvcrt.dll",   "ole32.dll",
                                               "shell32.dll",  "user32.dll"};

TEST_P(ScrImage, IsAStrippedStaticGuiExecutableImportingOnlyProtectedDlls) {
    const std::string path = GetParam().path;
    if (!std::ifstream(path)) GTEST_SKIP() << path << " is missing: the win64 and win32 presets build it";
    const PeImage image = ReadPeImage(path);
    EXPECT_EQ(image.machine, GetParam().machine);
    EXPECT_EQ(image.subsystem, 2) << "2 is the Windows GUI subsystem";
    ASSERT_FALSE(image.imports.empty());
    EXPECT_NE(std::find(image.imports.begin(), image.imports.end(), "user32.dll"), image.imports.end());
    for (const std::string& name : image.imports) {
        EXPECT_TRUE(SystemProtectedDlls.count(name)) << name << " is not a DLL the system protects";
    }
    EXPECT_EQ(image.symbolCount, 0u) << "the .scr is stripped";
    EXPECT_EQ(image.timeStamp, 0u) << "a build time in the header makes every build differ";
    EXPECT_LT(image.fileSize, 400u * 1024);
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
