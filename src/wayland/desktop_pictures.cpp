// The desktop pictures handed to the scenes, at the size each asks for.
#include "wayland/desktop_pictures.h"

#include <algorithm>

#include "image/png_rows.h"

namespace wrigglet::wayland {

bool HasDesktop(const DesktopPictures& desktop, const std::string& output) {
    return desktop.Outputs.count(output) != 0 || !desktop.Picture.empty();
}

void FillDesktop(const DesktopPictures& desktop, const std::string& output, int32_t width, int32_t height,
                 uint32_t* pixels) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const auto found = desktop.Outputs.find(output);
    if (found != desktop.Outputs.end() && found->second.Width == width && found->second.Height == height) {
        std::copy_n(found->second.Pixels.begin(), count, pixels);  // read at this size
        return;
    }
    image::PixelPicture covered;
    if (found != desktop.Outputs.end()) {
        covered = image::CoverPixels(found->second, width, height);
    } else if (!desktop.Picture.empty()) {
        // An output that came after the pictures were read.
        std::vector<image::PixelPicture> read;
        const auto grids = [width, height](int32_t w, int32_t h) {
            return std::vector<image::SampleGrid>{image::CoverGrid(w, h, width, height)};
        };
        if (image::SamplePng(desktop.Picture, grids, read).empty() && !read.empty()) covered = std::move(read[0]);
    }
    const size_t filled = std::min(count, covered.Pixels.size());
    std::copy_n(covered.Pixels.begin(), filled, pixels);
    std::fill(pixels + filled, pixels + count, 0u);
}

}  // namespace wrigglet::wayland
