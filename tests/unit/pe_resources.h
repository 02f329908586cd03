// A small reader of a Windows executable (PE32 and PE32+): its machine, subsystem, imported
// DLLs and resource tree, and a decoder of classic dialog templates, for the tests that
// inspect the built .scr files.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace wrigglet::testing {

using Bytes = std::vector<uint8_t>;

// A name or id in the resource tree: ids read "#5", names as stored ("SETTINGS").
struct PeResource {
    std::string Type;
    std::string Name;
    uint16_t Language = 0;
    Bytes Data;
};

struct PeImage {
    uint16_t Machine = 0;              // 0x8664 x86-64, 0x14C i386
    uint16_t Subsystem = 0;            // 2: Windows GUI
    uint32_t TimeStamp = 0;            // the header's build time; 0 when none was written
    uint32_t SymbolCount = 0;          // COFF symbols; 0 once stripped
    std::vector<std::string> Imports;  // imported DLL names, lower case
    std::vector<PeResource> Resources;
};

// Throws std::runtime_error when the file is not a well-formed PE image.
PeImage ReadPeImage(const Bytes& file);
Bytes ReadWholeFile(const std::string& path);

// Ordinals read "#100"; the predefined control classes read by name ("BUTTON").
struct DialogControl {
    uint32_t Style = 0, ExStyle = 0;
    int16_t X = 0, Y = 0, Width = 0, Height = 0;
    uint16_t Id = 0;
    std::string Class, Caption;
    uint16_t CreationDataSize = 0;
};

struct DialogTemplate {
    uint32_t Style = 0, ExStyle = 0;
    int16_t X = 0, Y = 0, Width = 0, Height = 0;
    std::string Menu, Class, Title;
    uint16_t PointSize = 0;
    std::string Font;
    std::vector<DialogControl> Controls;
    size_t Length = 0;  // bytes the template took up
};

// Decodes a classic (not extended) dialog template; throws on anything malformed.
DialogTemplate DecodeDialogTemplate(const Bytes& data);

// Little-endian reads with bounds checks.
uint16_t Word(const Bytes& data, size_t offset);
uint32_t Dword(const Bytes& data, size_t offset);

}  // namespace wrigglet::testing
