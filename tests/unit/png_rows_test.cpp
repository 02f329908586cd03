// PNG pictures read a row at a time: the same pixels as the whole-picture reader, of any
// size, and nothing but regular files opened.
#include "image/png_rows.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "image/png_read.h"

namespace wrigglet::image {
namespace {

namespace fs = std::filesystem;

fs::path TempDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("wrigglet-png-test-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

struct PngFormat {
    int ColourType = PNG_COLOR_TYPE_RGB;
    int Depth = 8;
    bool Interlaced = false;
    double Gamma = 0;  // a gAMA chunk when not 0
};

// A PNG whose samples are sample(x, y, channel), below 2^depth (a palette index for a
// palette picture, whose colours are all different).
void WritePng(const fs::path& path, int32_t width, int32_t height, const PngFormat& format,
              const std::function<uint32_t(int32_t, int32_t, int)>& sample) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), format.Depth,
                 format.ColourType, format.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i * 7)};
    if (format.ColourType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 1 << format.Depth);
    if (format.Gamma > 0) png_set_gAMA(png, info, format.Gamma);
    png_write_info(png, info);
    if (format.Depth < 8) png_set_packing(png);
    const int channels = png_get_channels(png, info), bytes = format.Depth == 16 ? 2 : 1;
    std::vector<png_byte> row(static_cast<size_t>(width) * channels * bytes);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x)
                for (int c = 0; c < channels; ++c) {
                    const uint32_t value = sample(x, y, c);
                    png_byte* at = &row[(static_cast<size_t>(x) * channels + c) * bytes];
                    if (bytes == 2) *at++ = static_cast<png_byte>(value >> 8);
                    *at = static_cast<png_byte>(value);
                }
            png_write_row(png, row.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

TEST(SamplePng, ReadsTheWholePictureReadersPixels) {
    const fs::path dir = TempDir("formats"), path = dir / "picture.png";
    const PngFormat formats[] = {
        {PNG_COLOR_TYPE_RGB, 8},
        {PNG_COLOR_TYPE_RGB, 16},
        {PNG_COLOR_TYPE_GRAY, 1},
        {PNG_COLOR_TYPE_GRAY, 8},
        {PNG_COLOR_TYPE_PALETTE, 8},
        {PNG_COLOR_TYPE_RGB, 8, true},
        {PNG_COLOR_TYPE_RGB, 8, false, 1 / 1.8},
    };
    for (const PngFormat& format : formats) {
        WritePng(path, 37, 23, format, [&format](int32_t x, int32_t y, int c) {
            return static_cast<uint32_t>(x * 7919 + y * 104729 + c * 31337) % (1u << format.Depth);
        });
        RgbPicture whole;
        ASSERT_EQ(ReadRgbPng(path, whole), "");
        std::vector<PixelPicture> sampled;
        ASSERT_EQ(
            SamplePng(
                path,
                [](int32_t width, int32_t height) {
                    return std::vector<SampleGrid>{CoverGrid(width, height, 16, 16), CoverGrid(width, height, 50, 20)};
                },
                sampled),
            "");
        ASSERT_EQ(sampled.size(), 2u);
        const std::string what = "type " + std::to_string(format.ColourType) + ", depth " +
                                 std::to_string(format.Depth) + (format.Interlaced ? ", interlaced" : "");
        EXPECT_EQ(sampled[0].Pixels, CoverPixels(RgbPixels(whole), 16, 16).Pixels) << what;
        EXPECT_EQ(sampled[1].Pixels, CoverPixels(RgbPixels(whole), 50, 20).Pixels) << what;
    }
    fs::remove_all(dir);
}

TEST(SamplePng, ShowsTransparencyOverBlack) {
    const fs::path dir = TempDir("alpha"), path = dir / "picture.png";
    WritePng(path, 2, 1, {PNG_COLOR_TYPE_RGB_ALPHA, 8},
             [](int32_t x, int32_t, int c) { return c == 3 ? x * 255u : 0xc8u - c * 0x32u; });
    std::vector<PixelPicture> sampled;
    ASSERT_EQ(SamplePng(
                  path, [](int32_t w, int32_t h) { return std::vector{StretchGrid(w, h, 2, 1)}; }, sampled),
              "");
    EXPECT_EQ(sampled.at(0).Pixels, (std::vector<uint32_t>{0, 0xc89664}));
    fs::remove_all(dir);
}

// Wider than the whole-picture reader takes; its pixels name where they come from.
TEST(SamplePng, ReadsAPictureLargerThanTheWholePictureReaderTakes) {
    const fs::path dir = TempDir("large"), path = dir / "picture.png";
    const int32_t width = 9000, height = 200;
    const auto sample = [](int32_t x, int32_t y, int c) {
        return static_cast<uint32_t>(c == 0 ? x >> 8 : c == 1 ? x & 0xff : y & 0xff);
    };
    WritePng(path, width, height, {}, sample);
    RgbPicture whole;
    EXPECT_NE(ReadRgbPng(path, whole), "");
    std::vector<PixelPicture> sampled;
    ASSERT_EQ(SamplePng(
                  path, [](int32_t w, int32_t h) { return std::vector{CoverGrid(w, h, 64, 48)}; }, sampled),
              "");
    const SampleGrid grid = CoverGrid(width, height, 64, 48);
    for (size_t r = 0; r < grid.Rows.size(); ++r)
        for (size_t c = 0; c < grid.Columns.size(); ++c) {
            const int32_t x = grid.Columns[c], y = grid.Rows[r];
            ASSERT_EQ(sampled.at(0).Pixels.at(r * 64 + c),
                      sample(x, y, 0) << 16 | sample(x, y, 1) << 8 | sample(x, y, 2))
                << "at " << c << "," << r;
        }
    fs::remove_all(dir);
}

// A FIFO without a writer would block an open for reading for ever.
TEST(CheckPng, RefusesWhatIsNotARegularFileWithoutOpeningIt) {
    const fs::path dir = TempDir("special");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const fs::path& path : {dir / "fifo", dir, fs::path("/dev/null")}) {
        const std::string refused = std::string("'").append(path.string()).append("' is not a regular file");
        EXPECT_EQ(CheckPng(path), refused);
        RgbPicture whole;
        EXPECT_EQ(ReadRgbPng(path, whole), refused);
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace wrigglet::image
