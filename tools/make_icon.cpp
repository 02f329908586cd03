// Host tool: turns the icon's text pixel map into a 32 x 32, 16-colour .ico file and,
// optionally, the installer's side picture (the icon enlarged on a light gradient); or into a
// PNG of any size for the desktops' icon themes, or a maskable one for the web page (opaque,
// the icon within the middle that every launcher's shape keeps); or into an .ico of several
// sizes, sharp at any display scale, for the installer (the saver's own icon stays the single
// 32 x 32 one).
// Usage: make_icon PIXMAP OUTPUT.ico [SIDE.bmp]
//        make_icon PIXMAP --png SIZE OUTPUT.png
//        make_icon PIXMAP --maskable SIZE RRGGBB OUTPUT.png
//        make_icon PIXMAP --sizes SIZE,SIZE,... OUTPUT.ico
//
// The pixel map holds "colour C N" lines, which give character C the palette index N
// (0 to 15) or, with N "transparent", make it see-through, and then 32 rows of 32
// characters, top row first. Lines starting with '#' are comments.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int Size = 32;
constexpr int Transparent = -1;

// The platform's 16 basic colours, in its standard order, as (red, green, blue).
constexpr std::array<std::array<uint8_t, 3>, 16> StandardPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

struct PixelMap {
    std::array<std::array<int, Size>, Size> Index{};  // [row][column], top row first
};

bool Fail(const std::string& message) {
    std::cerr << "make_icon: " << message << "\n";
    return false;
}

bool ParseColourLine(std::istringstream& words, std::map<char, int>& legend, int lineNumber) {
    std::string key, value;
    words >> key >> value;
    if (key.size() != 1 || value.empty()) return Fail("line " + std::to_string(lineNumber) + ": expected 'colour C N'");
    if (value == "transparent") {
        legend[key[0]] = Transparent;
        return true;
    }
    int index = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (error != std::errc{} || end != value.data() + value.size() || index < 0 || index > 15)
        return Fail("line " + std::to_string(lineNumber) + ": the colour must be 0 to 15 or 'transparent'");
    legend[key[0]] = index;
    return true;
}

bool ReadPixelMap(std::istream& in, PixelMap& map) {
    std::map<char, int> legend;
    std::string line;
    int row = 0;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        if (line.rfind("colour ", 0) == 0) {
            std::string keyword;
            words >> keyword;
            if (!ParseColourLine(words, legend, lineNumber)) return false;
            continue;
        }
        if (row == Size) return Fail("more than 32 rows");
        if (line.size() != Size) return Fail("line " + std::to_string(lineNumber) + ": a row must have 32 pixels");
        for (int column = 0; column < Size; ++column) {
            const auto found = legend.find(line[column]);
            if (found == legend.end())
                return Fail("line " + std::to_string(lineNumber) + ": no colour for '" + line[column] + "'");
            map.Index[row][column] = found->second;
        }
        ++row;
    }
    return row == Size || Fail("fewer than 32 rows");
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, uint16_t(v));
    Put16(out, uint16_t(v >> 16));
}

// The icon image: a 40-byte header (height doubled for colour plus mask), the palette,
// the 4-bit colour rows and the 1-bit mask rows, both bottom row first.
std::vector<uint8_t> IconImage(const PixelMap& map) {
    constexpr uint32_t ColourBytes = Size * Size / 2, MaskBytes = Size * Size / 8;
    std::vector<uint8_t> image;
    Put32(image, 40);
    Put32(image, Size);
    Put32(image, Size * 2);
    Put16(image, 1);
    Put16(image, 4);
    Put32(image, 0);                              // no compression
    Put32(image, ColourBytes + MaskBytes);        // image size
    for (int i = 0; i < 4; ++i) Put32(image, 0);  // resolution and colour counts
    for (const auto& rgb : StandardPalette) image.insert(image.end(), {rgb[2], rgb[1], rgb[0], 0});
    for (int row = Size - 1; row >= 0; --row)
        for (int column = 0; column < Size; column += 2) {
            const int left = map.Index[row][column], right = map.Index[row][column + 1];
            image.push_back(uint8_t((left == Transparent ? 0 : left) << 4 | (right == Transparent ? 0 : right)));
        }
    for (int row = Size - 1; row >= 0; --row)
        for (int column = 0; column < Size; column += 8) {
            uint8_t bits = 0;
            for (int k = 0; k < 8; ++k)
                if (map.Index[row][column + k] == Transparent) bits |= uint8_t(0x80 >> k);
            image.push_back(bits);
        }
    return image;
}

std::vector<uint8_t> IconFile(const std::vector<uint8_t>& image) {
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // an icon
    Put16(file, 1);  // one image
    file.insert(file.end(), {uint8_t(Size), uint8_t(Size), 16, 0});
    Put16(file, 1);  // planes
    Put16(file, 4);  // bits per pixel
    Put32(file, uint32_t(image.size()));
    Put32(file, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

// The installer's welcome and finish pages show a 164 x 314 picture at their left: the icon
// four times its size near the top, over a gradient from white to a light blue.
std::vector<uint8_t> SidePicture(const PixelMap& map) {
    constexpr int Width = 164, Height = 314, Scale = 4, Left = (Width - Size * Scale) / 2, Top = 40;
    constexpr uint32_t RowBytes = Width * 3 + (4 - Width * 3 % 4) % 4, PixelBytes = RowBytes * Height;
    std::vector<uint8_t> file;
    file.insert(file.end(), {'B', 'M'});
    Put32(file, 14 + 40 + PixelBytes);
    Put32(file, 0);
    Put32(file, 14 + 40);
    Put32(file, 40);
    Put32(file, Width);
    Put32(file, Height);  // positive: bottom row first
    Put16(file, 1);
    Put16(file, 24);
    Put32(file, 0);
    Put32(file, PixelBytes);
    for (int i = 0; i < 4; ++i) Put32(file, 0);
    for (int y = Height - 1; y >= 0; --y) {
        const auto blend = [y](int top, int bottom) { return uint8_t(top + (bottom - top) * y / (Height - 1)); };
        std::array<uint8_t, 3> background{blend(255, 168), blend(255, 200), blend(255, 232)};
        for (int x = 0; x < Width; ++x) {
            std::array<uint8_t, 3> rgb = background;
            const int row = (y - Top) / Scale, column = (x - Left) / Scale;
            if (y >= Top && x >= Left && row < Size && column < Size && map.Index[row][column] != Transparent)
                rgb = StandardPalette[map.Index[row][column]];
            file.insert(file.end(), {rgb[2], rgb[1], rgb[0]});
        }
        file.insert(file.end(), RowBytes - Width * 3, 0);
    }
    return file;
}

// The picture at SIZE x SIZE, each pixel the average of the pixel map's area it covers
// (colours weighted by their opacity), so a whole multiple of 32 enlarges every pixel to a
// square and other sizes blend only along the pixels' edges. Red, green, blue, alpha.
std::vector<std::array<uint8_t, 4>> ScaledPicture(const PixelMap& map, int size) {
    std::vector<std::array<uint8_t, 4>> picture;
    // In units of 1/size of a map pixel, output pixel o spans [o*32, o*32+32) and map pixel s
    // spans [s*size, s*size+size).
    const auto overlap = [size](int out, int in) {
        return std::max(0, std::min(out * Size + Size, in * size + size) - std::max(out * Size, in * size));
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::array<uint64_t, 4> sum{};  // red, green and blue times alpha; alpha
            for (int row = y * Size / size; row < Size && row * size < (y + 1) * Size; ++row)
                for (int column = x * Size / size; column < Size && column * size < (x + 1) * Size; ++column) {
                    const int index = map.Index[row][column];
                    if (index == Transparent) continue;
                    const uint64_t area = uint64_t(overlap(y, row)) * uint64_t(overlap(x, column)) * 255;
                    for (int c = 0; c < 3; ++c) sum[c] += area * StandardPalette[index][c];
                    sum[3] += area;
                }
            std::array<uint8_t, 4> rgba{};
            if (sum[3] > 0) {
                for (int c = 0; c < 3; ++c) rgba[c] = uint8_t((sum[c] + sum[3] / 2) / sum[3]);
                rgba[3] = uint8_t((sum[3] + Size * Size / 2) / (Size * Size));
            }
            picture.push_back(rgba);
        }
    return picture;
}

// The icon over an opaque background, its 32 pixels enlarged to 9/16 of the side: a maskable
// icon keeps its content within the middle circle of 80 % of the side, and 9/16 of it is the
// widest square in that circle.
std::vector<std::array<uint8_t, 4>> MaskablePicture(const PixelMap& map, int size, uint32_t background) {
    const int inner = size * 9 / 16, offset = (size - inner) / 2;
    const std::array<uint8_t, 4> ground{uint8_t(background >> 16), uint8_t(background >> 8), uint8_t(background), 255};
    std::vector<std::array<uint8_t, 4>> picture(size_t(size) * size_t(size), ground);
    const auto icon = ScaledPicture(map, inner);
    for (int y = 0; y < inner; ++y)
        for (int x = 0; x < inner; ++x) {
            const auto& pixel = icon[size_t(y * inner + x)];
            auto& out = picture[size_t((y + offset) * size + x + offset)];
            for (int c = 0; c < 3; ++c)
                out[c] = uint8_t((pixel[c] * pixel[3] + ground[c] * (255 - pixel[3]) + 127) / 255);
        }
    return picture;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

uint32_t Crc32(const uint8_t* data, size_t length) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    PutBig32(png, uint32_t(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBig32(png, Crc32(png.data() + start, png.size() - start));
}

// A zlib stream of stored (uncompressed) blocks: the pictures are small and the package
// compresses them anyway, so the tool needs no compression library.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - at, 65535);
        out.push_back(at + length == raw.size() ? 1 : 0);  // the last block's flag
        Put16(out, uint16_t(length));
        Put16(out, uint16_t(~length));
        out.insert(out.end(), raw.begin() + long(at), raw.begin() + long(at + length));
        at += length;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, b << 16 | a);
    return out;
}

// A PNG of the picture with a palette of its own colours and their opacities (a scaled
// picture has far fewer than 256), four bits a pixel when 16 colours do.
std::vector<uint8_t> PngFile(const std::vector<std::array<uint8_t, 4>>& picture, int size) {
    std::vector<std::array<uint8_t, 4>> palette;
    std::vector<uint8_t> indices;
    for (const auto& rgba : picture) {
        auto found = std::find(palette.begin(), palette.end(), rgba);
        if (found == palette.end()) found = palette.insert(palette.end(), rgba);
        indices.push_back(uint8_t(found - palette.begin()));
    }
    if (palette.size() > 256) return {};
    const int depth = palette.size() <= 16 ? 4 : 8, perByte = 8 / depth;
    std::vector<uint8_t> raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < size; x += perByte) {
            uint8_t byte = 0;
            for (int k = 0; k < perByte && x + k < size; ++k)
                byte |= uint8_t(indices[size_t(y * size + x + k)] << (8 - depth * (k + 1)));
            raw.push_back(byte);
        }
    }
    std::vector<uint8_t> header, colours, opacities;
    PutBig32(header, uint32_t(size));
    PutBig32(header, uint32_t(size));
    header.insert(header.end(), {uint8_t(depth), 3, 0, 0, 0});  // indexed colour, no interlace
    for (const auto& rgba : palette) {
        colours.insert(colours.end(), rgba.begin(), rgba.begin() + 3);
        opacities.push_back(rgba[3]);
    }
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "PLTE", colours);
    PutChunk(png, "tRNS", opacities);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    return png;
}

// One image of a several-size icon: 256 pixels and more as a PNG, as the platform reads them
// since it has had such sizes; smaller ones as a 32-bit bitmap with its transparency mask,
// which every version reads. Bitmap rows run bottom row first; mask rows are padded to 4 bytes.
std::vector<uint8_t> SizedIconImage(const PixelMap& map, int size) {
    const auto picture = ScaledPicture(map, size);
    if (size >= 256) return PngFile(picture, size);
    const uint32_t maskRowBytes = uint32_t((size + 31) / 32 * 4);
    std::vector<uint8_t> image;
    Put32(image, 40);
    Put32(image, uint32_t(size));
    Put32(image, uint32_t(size * 2));
    Put16(image, 1);
    Put16(image, 32);
    Put32(image, 0);
    Put32(image, uint32_t(size * size * 4) + maskRowBytes * uint32_t(size));
    for (int i = 0; i < 4; ++i) Put32(image, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const auto& rgba = picture[size_t(y * size + x)];
            image.insert(image.end(), {rgba[2], rgba[1], rgba[0], rgba[3]});
        }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskRowBytes, 0);
        for (int x = 0; x < size; ++x)
            if (picture[size_t(y * size + x)][3] == 0) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

// The icon file: its directory (a size of 256 is written as 0), then the images in order.
std::vector<uint8_t> SizedIconFile(const PixelMap& map, const std::vector<int>& sizes) {
    std::vector<std::vector<uint8_t>> images;
    for (const int size : sizes) images.push_back(SizedIconImage(map, size));
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, uint16_t(sizes.size()));
    uint32_t offset = uint32_t(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        const auto side = uint8_t(sizes[i] >= 256 ? 0 : sizes[i]);
        file.insert(file.end(), {side, side, 0, 0});
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, uint32_t(images[i].size()));
        Put32(file, offset);
        offset += uint32_t(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return file;
}

// "16,24,32" -> its sizes, each 1 to 256; empty when the list is not that.
std::vector<int> ParseSizes(const std::string& text) {
    std::vector<int> sizes;
    for (size_t at = 0; at <= text.size();) {
        const size_t comma = std::min(text.find(',', at), text.size());
        int size = 0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + comma, size);
        if (error != std::errc{} || end != text.data() + comma || size < 1 || size > 256) return {};
        sizes.push_back(size);
        at = comma + 1;
    }
    return sizes;
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return out ? true : Fail(std::string("cannot write ") + path);
}

// SIZE (1 to 1024) and RRGGBB from the command line; nothing when they are malformed.
std::optional<int> ParseSize(const char* text) {
    int size = 0;
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), size);
    if (error != std::errc{} || *end != '\0' || size < 1 || size > 1024) return std::nullopt;
    return size;
}

std::optional<uint32_t> ParseColour(const char* text) {
    uint32_t colour = 0;
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), colour, 16);
    if (error != std::errc{} || *end != '\0' || std::strlen(text) != 6) return std::nullopt;
    return colour;
}

}  // namespace

int main(int argc, char** argv) {
    const bool png = argc == 5 && std::string(argv[2]) == "--png";
    const bool maskable = argc == 6 && std::string(argv[2]) == "--maskable";
    const bool sized = argc == 5 && std::string(argv[2]) == "--sizes";
    std::optional<int> size;
    std::optional<uint32_t> background;
    if (png || maskable) size = ParseSize(argv[3]);
    if (maskable) background = ParseColour(argv[4]);
    const std::vector<int> sizes = sized ? ParseSizes(argv[3]) : std::vector<int>{};
    if ((argc != 3 && argc != 4 && !png && !maskable && !sized) || ((png || maskable) && !size) ||
        (maskable && !background) || (sized && sizes.empty())) {
        std::cerr << "usage: make_icon PIXMAP OUTPUT.ico [SIDE.bmp]\n"
                     "       make_icon PIXMAP --png SIZE OUTPUT.png   (SIZE 1 to 1024)\n"
                     "       make_icon PIXMAP --maskable SIZE RRGGBB OUTPUT.png\n"
                     "       make_icon PIXMAP --sizes SIZE,SIZE,... OUTPUT.ico   (each 1 to 256)\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) return Fail(std::string("cannot read ") + argv[1]), 1;
    PixelMap map;
    if (!ReadPixelMap(in, map)) return 1;
    if (png || maskable) {
        const auto file = PngFile(png ? ScaledPicture(map, *size) : MaskablePicture(map, *size, *background), *size);
        if (file.empty()) return Fail("more than 256 colours at " + std::to_string(*size) + " pixels"), 1;
        return WriteFile(argv[argc - 1], file) ? 0 : 1;
    }
    if (sized) return WriteFile(argv[4], SizedIconFile(map, sizes)) ? 0 : 1;
    if (!WriteFile(argv[2], IconFile(IconImage(map)))) return 1;
    return argc == 4 && !WriteFile(argv[3], SidePicture(map)) ? 1 : 0;
}
