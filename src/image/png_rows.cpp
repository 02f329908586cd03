// libpng's row by row reading, set to give the 8-bit RGB that its simplified reader gives
// (the same transformations, so an opaque picture reads the same either way), with
// transparency laid over black. libpng reports errors by longjmp: each call that may fail
// runs in a function of its own that holds no C++ object.
#include "image/png_rows.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace wrigglet::image {

namespace {

struct PngReader {
    FILE* File = nullptr;
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    std::string Message;  // libpng's last error

    ~PngReader() {
        if (Png) png_destroy_read_struct(&Png, &Info, nullptr);
        if (File) std::fclose(File);
    }
};

void OnError(png_structp png, png_const_charp message) {
    static_cast<PngReader*>(png_get_error_ptr(png))->Message = message;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

bool ReadInfo(PngReader& reader) {
    if (setjmp(png_jmpbuf(reader.Png))) return false;
    png_init_io(reader.Png, reader.File);
    // libpng's own limit is a million pixels a side.
    png_set_user_limits(reader.Png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(reader.Png, reader.Info);
    return true;
}

// 8-bit sRGB, three bytes a pixel, as png_image_finish_read makes PNG_FORMAT_RGB; the
// passes of an interlaced picture are left apart (each row is a pass's row).
bool SetRgb(PngReader& reader) {
    png_structp png = reader.Png;
    if (setjmp(png_jmpbuf(png))) return false;
    const png_byte colour = png_get_color_type(png, reader.Info);
    const bool sixteen = png_get_bit_depth(png, reader.Info) == 16;
    png_set_expand(png);
    if (!(colour & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    // Without a gamma of its own a 16-bit picture is taken as linear, an 8-bit one as sRGB.
    png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, sixteen ? PNG_GAMMA_LINEAR : PNG_DEFAULT_sRGB);
    if (sixteen) png_set_scale_16(png);
    if ((colour & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, reader.Info, PNG_INFO_tRNS)) {
        png_color_16 black{};
        png_set_background_fixed(png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 0);
    }
    png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    png_read_update_info(png, reader.Info);
    return true;
}

bool ReadRow(PngReader& reader, png_bytep row) {
    if (setjmp(png_jmpbuf(reader.Png))) return false;
    png_read_row(reader.Png, row, nullptr);
    return true;
}

// Opens `path` and reads its header; false with an error line when it can't.
bool Start(PngReader& reader, const std::string& path, std::string& error) {
    reader.File = OpenRegularFile(path, error);
    if (!reader.File) return false;
    reader.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reader, OnError, OnWarning);
    if (reader.Png) reader.Info = png_create_info_struct(reader.Png);
    if (!reader.Info) {
        error = "cannot read '" + path + "': out of memory";
        return false;
    }
    if (!ReadInfo(reader)) {
        error = "cannot read '" + path + "': " + reader.Message;
        return false;
    }
    return true;
}

// Where a row of pixels lies in the picture: every pixel of a row, or for an interlaced
// picture every colStep-th from firstColumn.
struct RowSpan {
    int32_t Y = 0;
    int32_t FirstColumn = 0;
    int32_t ColumnStep = 1;
};

void Place(const SampleGrid& grid, PixelPicture& picture, const RowSpan& span, const png_byte* row) {
    const auto [from, to] = std::equal_range(grid.Rows.begin(), grid.Rows.end(), span.Y);
    for (auto r = from; r != to; ++r) {
        uint32_t* out = picture.Pixels.data() + (r - grid.Rows.begin()) * static_cast<ptrdiff_t>(picture.Width);
        for (size_t c = 0; c < grid.Columns.size(); ++c) {
            const int32_t x = grid.Columns[c] - span.FirstColumn;
            if (x < 0 || x % span.ColumnStep != 0) continue;
            const png_byte* p = row + static_cast<size_t>(x / span.ColumnStep) * 3;
            out[c] = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
        }
    }
}

// The rows of each pass in the file's order, each placed in every picture; false on an error
// or a stop.
bool ReadRows(PngReader& reader, const std::vector<SampleGrid>& grids, std::vector<PixelPicture>& pictures,
              const StopRequest& stop) {
    const auto width = static_cast<int32_t>(png_get_image_width(reader.Png, reader.Info));
    const auto height = static_cast<int32_t>(png_get_image_height(reader.Png, reader.Info));
    const bool interlaced = png_get_interlace_type(reader.Png, reader.Info) == PNG_INTERLACE_ADAM7;
    // A picture read from the top down is done after the last row any grid takes.
    int32_t lastRow = -1;
    for (const SampleGrid& grid : grids)
        if (!grid.Rows.empty()) lastRow = std::max(lastRow, grid.Rows.back());
    std::vector<png_byte> row(png_get_rowbytes(reader.Png, reader.Info));
    for (int pass = 0; pass < (interlaced ? PNG_INTERLACE_ADAM7_PASSES : 1); ++pass) {
        if (interlaced && PNG_PASS_COLS(width, pass) == 0) continue;  // libpng skips it too
        RowSpan span;
        int32_t rowStep = 1;
        if (interlaced) {
            span = {static_cast<int32_t>(PNG_PASS_START_ROW(pass)), static_cast<int32_t>(PNG_PASS_START_COL(pass)),
                    static_cast<int32_t>(PNG_PASS_COL_OFFSET(pass))};
            rowStep = static_cast<int32_t>(PNG_PASS_ROW_OFFSET(pass));
        }
        for (; span.Y < height && (interlaced || span.Y <= lastRow); span.Y += rowStep) {
            if (StopDue(stop) || !ReadRow(reader, row.data())) return false;
            for (size_t i = 0; i < grids.size(); ++i) Place(grids[i], pictures[i], span, row.data());
        }
    }
    return true;
}

}  // namespace

FILE* OpenRegularFile(const std::string& path, std::string& error) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    const std::string notRegular = "'" + path + "' is not a regular file";
    if (!S_ISREG(status.st_mode)) {
        error = notRegular;
        return nullptr;
    }
    // Opened without waiting and looked at again, should the path have changed in between;
    // O_NONBLOCK changes nothing in reading a regular file.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    FILE* file = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? fdopen(fd, "rb") : nullptr;
    if (!file) {
        close(fd);
        error = notRegular;
    }
    return file;
}

std::string CheckPng(const std::string& path) {
    PngReader reader;
    std::string error;
    Start(reader, path, error);
    return error;
}

std::string SamplePng(const std::string& path, const GridsForSize& grids, std::vector<PixelPicture>& pictures,
                      const StopRequest& stop) {
    PngReader reader;
    std::string error;
    if (!Start(reader, path, error)) return error;
    const std::vector<SampleGrid> wanted = grids(static_cast<int32_t>(png_get_image_width(reader.Png, reader.Info)),
                                                 static_cast<int32_t>(png_get_image_height(reader.Png, reader.Info)));
    pictures.clear();
    for (const SampleGrid& grid : wanted)
        pictures.push_back({static_cast<int32_t>(grid.Columns.size()), static_cast<int32_t>(grid.Rows.size()),
                            std::vector<uint32_t>(grid.Columns.size() * grid.Rows.size())});
    try {
        if (SetRgb(reader) && png_get_channels(reader.Png, reader.Info) == 3 &&
            ReadRows(reader, wanted, pictures, stop))
            return "";
    } catch (const std::bad_alloc&) {
        reader.Message = "a row is too large for memory";
    }
    pictures.clear();
    if (StopDue(stop)) return "";
    return "cannot decode '" + path + "': " + (reader.Message.empty() ? "not 8-bit RGB" : reader.Message);
}

}  // namespace wrigglet::image
