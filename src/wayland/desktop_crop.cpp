// Each output's part of the desktop picture, sampled by nearest pixel in whole numbers.
#include "wayland/desktop_crop.h"

#include <algorithm>

#include "image/png_rows.h"

namespace wrigglet::wayland {

namespace {

// Along one side: `count` samples of the part [partStart, partStart + partLength) of an
// extent [extentStart, extentStart + extentLength) that `picture` pixels show, each the
// pixel under the sample's top-left corner. None when there is nothing to sample.
std::vector<int32_t> PartIndices(int32_t picture, int32_t extentStart, int32_t extentLength, int32_t partStart,
                                 int32_t partLength, int32_t count) {
    if (extentLength <= 0 || picture <= 0 || count <= 0) return {};
    std::vector<int32_t> indices(static_cast<size_t>(count));
    const int64_t from = int64_t{partStart - extentStart} * count;
    for (int32_t i = 0; i < count; ++i) {
        const int64_t at = (from + int64_t{i} * partLength) * picture / (int64_t{extentLength} * count);
        indices[static_cast<size_t>(i)] = static_cast<int32_t>(std::clamp<int64_t>(at, 0, picture - 1));
    }
    return indices;
}

}  // namespace

std::vector<image::SampleGrid> DesktopGrids(int32_t width, int32_t height, const std::vector<OutputPlace>& places) {
    std::vector<PixelRect> rects;
    for (const OutputPlace& place : places) rects.push_back(place.Logical);
    const PixelRect extent = BoundingRect(rects);
    std::vector<image::SampleGrid> grids;
    for (const OutputPlace& place : places) {
        const PixelRect& r = place.Logical;
        grids.push_back(
            {PartIndices(width, extent.Left, RectWidth(extent), r.Left, RectWidth(r), place.Physical.Width),
             PartIndices(height, extent.Top, RectHeight(extent), r.Top, RectHeight(r), place.Physical.Height)});
    }
    return grids;
}

std::vector<image::PixelPicture> CropDesktop(const image::PixelPicture& desktop,
                                             const std::vector<OutputPlace>& places) {
    std::vector<image::PixelPicture> parts;
    for (const image::SampleGrid& grid : DesktopGrids(desktop.Width, desktop.Height, places))
        parts.push_back(image::Sample(desktop, grid));
    return parts;
}

std::string CropDesktopPng(const std::string& path, const std::vector<OutputPlace>& places,
                           std::vector<image::PixelPicture>& parts) {
    return image::SamplePng(
        path, [&places](int32_t width, int32_t height) { return DesktopGrids(width, height, places); }, parts);
}

}  // namespace wrigglet::wayland
