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
    std::vector<image::PixelPicture> covered(1);
    if (const auto found = desktop.Outputs.find(output); found != desktop.Outputs.end()) {
        covered[0] = image::CoverPixels(found->second, width, height);
    } else if (!desktop.Picture.empty()) {
        // An output that came after the pictures were read.
        image::SamplePng(
            desktop.Picture,
            [width, height](int32_t w, int32_t h) {
                return std::vector<image::SampleGrid>{image::CoverGrid(w, h, width, height)};
            },
            covered);
    }
    const std::vector<uint32_t> none;
    const std::vector<uint32_t>& from = covered.empty() ? none : covered[0].Pixels;
    std::fill(std::copy_n(from.begin(), std::min(count, from.size()), pixels), pixels + count, 0u);
}

}  // namespace wrigglet::wayland
