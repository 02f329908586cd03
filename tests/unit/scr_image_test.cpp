// The shipped .scr files: GUI-subsystem executables for the right processor, linked
// statically (no MinGW runtime DLLs to carry along), and with the password libraries
// left to run time (never imported, so the saver starts on systems without them).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct PeImage {
    std::uint16_t machine = 0;
    std::uint16_t subsystem = 0;
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

TEST_P(ScrImage, IsAStaticGuiExecutableWithoutPasswordImports) {
    const std::string path = GetParam().path;
    if (!std::ifstream(path)) FAIL() << path << " is missing: build the win64 and win32 presets first";
    const PeImage image = ReadPeImage(path);
    EXPECT_EQ(image.machine, GetParam().machine);
    EXPECT_EQ(image.subsystem, 2) << "2 is the Windows GUI subsystem";
    ASSERT_FALSE(image.imports.empty());
    EXPECT_NE(std::find(image.imports.begin(), image.imports.end(), "user32.dll"), image.imports.end());
    for (const std::string& name : image.imports) {
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
