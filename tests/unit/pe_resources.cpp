// The resource reader and dialog decoder used by the resource tests.
#include "pe_resources.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace wrigglet::testing {
namespace {

void Require(bool condition, const char* what) {
    if (!condition) throw std::runtime_error(what);
}

struct Section {
    uint32_t VirtualAddress, VirtualSize, RawSize, RawOffset;
};

struct ImageLayout {
    std::vector<Section> Sections;
    uint32_t ImportRva = 0;
    uint32_t ResourceRva = 0;
};

size_t FileOffset(const ImageLayout& layout, uint32_t rva, uint32_t size) {
    for (const Section& s : layout.Sections) {
        if (rva >= s.VirtualAddress && uint64_t{rva} + size <= uint64_t{s.VirtualAddress} + s.RawSize)
            return size_t{s.RawOffset} + (rva - s.VirtualAddress);
    }
    throw std::runtime_error("address outside every section's file data");
}

ImageLayout ReadLayout(const Bytes& file, uint16_t& machine, uint16_t& subsystem) {
    Require(Word(file, 0) == 0x5A4D, "no MZ header");
    const size_t pe = Dword(file, 0x3C);
    Require(Dword(file, pe) == 0x00004550, "no PE signature");
    machine = Word(file, pe + 4);
    const uint16_t sectionCount = Word(file, pe + 6);
    const uint16_t optionalSize = Word(file, pe + 20);
    const size_t optional = pe + 24;
    const uint16_t magic = Word(file, optional);
    Require(magic == 0x10B || magic == 0x20B, "unknown optional header");
    subsystem = Word(file, optional + 68);
    const size_t directories = optional + (magic == 0x10B ? 96 : 112);
    const uint32_t directoryCount = Dword(file, directories - 4);
    ImageLayout layout;
    if (directoryCount > 1) layout.ImportRva = Dword(file, directories + 1 * 8);
    if (directoryCount > 2) layout.ResourceRva = Dword(file, directories + 2 * 8);
    const size_t sections = optional + optionalSize;
    for (size_t i = 0; i < sectionCount; ++i) {
        const size_t at = sections + i * 40;
        layout.Sections.push_back(
            {Dword(file, at + 12), Dword(file, at + 8), Dword(file, at + 16), Dword(file, at + 20)});
    }
    return layout;
}

// "#" and the number; built by appending, which also keeps GCC 12's -Wrestrict quiet.
std::string Ordinal(uint32_t value) {
    std::string text(1, '#');
    text += std::to_string(value);
    return text;
}

std::string Utf16ToAscii(const Bytes& data, size_t offset, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        const uint16_t c = Word(data, offset + 2 * i);
        text.push_back(c < 0x80 ? char(c) : '?');
    }
    return text;
}

struct TreeReader {
    const Bytes& File;
    const ImageLayout& Layout;
    size_t Base;  // file offset of the root directory
    std::vector<PeResource>& Out;

    std::string EntryName(uint32_t nameOrId) const {
        if (!(nameOrId & 0x80000000u)) return Ordinal(nameOrId);
        const size_t at = Base + (nameOrId & 0x7FFFFFFFu);
        return Utf16ToAscii(File, at + 2, Word(File, at));
    }

    // Level 0 is the type, 1 the name, 2 the language; a data entry ends the path.
    void Walk(size_t directory, int level, PeResource path) {
        Require(level < 3, "resource tree deeper than three levels");
        const size_t count = size_t{Word(File, directory + 12)} + Word(File, directory + 14);
        for (size_t i = 0; i < count; ++i) {
            const size_t entry = directory + 16 + i * 8;
            const uint32_t nameOrId = Dword(File, entry), target = Dword(File, entry + 4);
            PeResource next = path;
            if (level == 0) next.Type = EntryName(nameOrId);
            if (level == 1) next.Name = EntryName(nameOrId);
            if (level == 2) next.Language = uint16_t(nameOrId);
            if (target & 0x80000000u) {
                Walk(Base + (target & 0x7FFFFFFFu), level + 1, next);
                continue;
            }
            Require(level == 2, "resource data above the language level");
            const size_t dataEntry = Base + target;
            const uint32_t rva = Dword(File, dataEntry), size = Dword(File, dataEntry + 4);
            const size_t at = FileOffset(Layout, rva, size);
            Require(at + size <= File.size(), "resource data past the end of the file");
            next.Data.assign(File.begin() + long(at), File.begin() + long(at + size));
            Out.push_back(std::move(next));
        }
    }
};

// The names of the import descriptors, up to the all-zero one that ends them.
std::vector<std::string> ReadImports(const Bytes& file, const ImageLayout& layout) {
    std::vector<std::string> names;
    if (layout.ImportRva == 0) return names;
    for (size_t entry = FileOffset(layout, layout.ImportRva, 20);; entry += 20) {
        const uint32_t nameRva = Dword(file, entry + 12);
        if (nameRva == 0) break;
        std::string name;
        for (size_t at = FileOffset(layout, nameRva, 1); at < file.size() && file[at]; ++at)
            name.push_back(static_cast<char>(std::tolower(file[at])));
        names.push_back(name);
    }
    return names;
}

std::string SizedOrOrdinal(const Bytes& data, size_t& offset, bool isClass) {
    const uint16_t first = Word(data, offset);
    if (first == 0xFFFF) {
        const uint16_t ordinal = Word(data, offset + 2);
        offset += 4;
        static const char* const Classes[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
        if (isClass && ordinal >= 0x80 && ordinal <= 0x85) return Classes[ordinal - 0x80];
        return Ordinal(ordinal);
    }
    std::string text;
    for (uint16_t c = Word(data, offset); c != 0; c = Word(data, offset)) {
        text.push_back(c < 0x80 ? char(c) : '?');
        offset += 2;
    }
    offset += 2;
    return text;
}

std::string String(const Bytes& data, size_t& offset) { return SizedOrOrdinal(data, offset, false); }

size_t AlignDword(size_t offset) { return (offset + 3) & ~size_t{3}; }

}  // namespace

uint16_t Word(const Bytes& data, size_t offset) {
    Require(offset + 2 <= data.size(), "read past the end");
    return uint16_t(data[offset] | data[offset + 1] << 8);
}

uint32_t Dword(const Bytes& data, size_t offset) { return Word(data, offset) | uint32_t{Word(data, offset + 2)} << 16; }

PeImage ReadPeImage(const Bytes& file) {
    PeImage image;
    const ImageLayout layout = ReadLayout(file, image.Machine, image.Subsystem);
    const size_t header = Dword(file, 0x3C);  // the "PE\0\0" signature, checked by ReadLayout
    image.TimeStamp = Dword(file, header + 8);
    image.SymbolCount = Dword(file, header + 16);
    image.Imports = ReadImports(file, layout);
    if (layout.ResourceRva == 0) return image;
    TreeReader reader{file, layout, FileOffset(layout, layout.ResourceRva, 16), image.Resources};
    reader.Walk(reader.Base, 0, {});
    return image;
}

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DialogTemplate DecodeDialogTemplate(const Bytes& data) {
    DialogTemplate dialog;
    Require(Dword(data, 0) != 0xFFFF0001u, "an extended template");
    dialog.Style = Dword(data, 0);
    dialog.ExStyle = Dword(data, 4);
    const uint16_t count = Word(data, 8);
    dialog.X = int16_t(Word(data, 10));
    dialog.Y = int16_t(Word(data, 12));
    dialog.Width = int16_t(Word(data, 14));
    dialog.Height = int16_t(Word(data, 16));
    size_t offset = 18;
    dialog.Menu = String(data, offset);
    dialog.Class = String(data, offset);
    dialog.Title = String(data, offset);
    if (dialog.Style & 0x40) {  // DS_SETFONT
        dialog.PointSize = Word(data, offset);
        offset += 2;
        dialog.Font = String(data, offset);
    }
    for (uint16_t i = 0; i < count; ++i) {
        offset = AlignDword(offset);
        DialogControl control;
        control.Style = Dword(data, offset);
        control.ExStyle = Dword(data, offset + 4);
        control.X = int16_t(Word(data, offset + 8));
        control.Y = int16_t(Word(data, offset + 10));
        control.Width = int16_t(Word(data, offset + 12));
        control.Height = int16_t(Word(data, offset + 14));
        control.Id = Word(data, offset + 16);
        offset += 18;
        control.Class = SizedOrOrdinal(data, offset, true);
        control.Caption = String(data, offset);
        control.CreationDataSize = Word(data, offset);
        offset += 2 + control.CreationDataSize;
        dialog.Controls.push_back(control);
    }
    Require(offset <= data.size(), "template runs past its resource");
    dialog.Length = offset;
    return dialog;
}

}  // namespace wrigglet::testing
