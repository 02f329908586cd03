// The desktop pictures. grim writes the output as a binary PPM to a pipe: no file is left
// behind and no PNG is encoded only to be decoded again.
#include "wayland/desktop_pictures.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "posix/helper_process.h"

namespace wrigglet::wayland {

namespace {

const image::RgbPicture* PictureFor(const DesktopPictures& desktop, const std::string& output) {
    if (desktop.Picture) return &*desktop.Picture;
    const auto found = desktop.Captures.find(output);
    return found == desktop.Captures.end() ? nullptr : &found->second;
}

// The next whole number of a PPM header at `at`, after blanks and comments.
std::optional<int64_t> HeaderNumber(std::string_view data, size_t& at) {
    while (at < data.size() && (std::isspace(static_cast<unsigned char>(data[at])) || data[at] == '#')) {
        if (data[at] == '#')
            while (at < data.size() && data[at] != '\n') ++at;
        else
            ++at;
    }
    int64_t value = 0;
    const size_t start = at;
    while (at < data.size() && std::isdigit(static_cast<unsigned char>(data[at])) && at - start < 9)
        value = value * 10 + (data[at++] - '0');
    if (at == start) return std::nullopt;
    return value;
}

// A binary PPM (P6) of 8-bit samples, at most MaxImageSide on a side.
std::optional<image::RgbPicture> ParsePpm(std::string_view data) {
    if (data.substr(0, 2) != "P6") return std::nullopt;
    size_t at = 2;
    const auto width = HeaderNumber(data, at), height = HeaderNumber(data, at), maximum = HeaderNumber(data, at);
    if (!width || !height || maximum != 255 || *width < 1 || *height < 1 || *width > image::MaxImageSide ||
        *height > image::MaxImageSide || at >= data.size())
        return std::nullopt;
    const size_t bytes = static_cast<size_t>(*width) * static_cast<size_t>(*height) * 3;
    ++at;  // the one blank after the header
    if (data.size() - at < bytes) return std::nullopt;
    image::RgbPicture picture{static_cast<int32_t>(*width), static_cast<int32_t>(*height), {}};
    picture.Rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    return picture;
}

// What the output shows now; none when grim is missing or fails, or a stop came first.
std::optional<image::RgbPicture> CaptureOutput(const std::string& output, const StopRequest& stop) {
    const std::string grim = posix::FindHelper("grim");
    if (grim.empty()) return std::nullopt;
    const std::optional<std::string> data = posix::RunHelper({grim, "-t", "ppm", "-o", output, "-"}, stop);
    if (!data) return std::nullopt;
    return ParsePpm(*data);
}

}  // namespace

bool HasDesktop(const DesktopPictures& desktop, const std::string& output) {
    return PictureFor(desktop, output) != nullptr;
}

void FillDesktop(const DesktopPictures& desktop, const std::string& output, int32_t width, int32_t height,
                 uint32_t* pixels) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const image::RgbPicture* picture = PictureFor(desktop, output);
    if (!picture) {
        std::fill_n(pixels, count, 0u);
        return;
    }
    const std::vector<uint32_t> covered = image::CoverPixels(*picture, width, height);
    std::copy_n(covered.begin(), std::min(count, covered.size()), pixels);
}

void CaptureOutputs(DesktopPictures& desktop, const std::vector<std::string>& outputs, const StopRequest& stop) {
    desktop.Captures.clear();
    for (const std::string& output : outputs)
        if (auto picture = CaptureOutput(output, stop)) desktop.Captures[output] = std::move(*picture);
}

}  // namespace wrigglet::wayland
