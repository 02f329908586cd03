// The desktop pictures read for the outputs in the loop's order, kept by output name.
#include "wayland/desktop_reading.h"

#include "image/png_rows.h"
#include "wayland/desktop_crop.h"
#include "wayland/screen_copy.h"

namespace wrigglet::wayland {

namespace {

bool HasPictureAtSize(const DesktopPictures& desktop, const WaylandOutput& output) {
    const auto found = desktop.Outputs.find(output.Name);
    const SceneSize size = PhysicalSize(output);
    return found != desktop.Outputs.end() && found->second.Width == size.Width && found->second.Height == size.Height;
}

void ReadPicture(const std::vector<const WaylandOutput*>& outputs, DesktopPictures& desktop, std::ostream& errors,
                 const StopRequest& stop) {
    std::vector<const WaylandOutput*> wanted;
    for (const WaylandOutput* output : outputs)
        if (!HasPictureAtSize(desktop, *output)) wanted.push_back(output);
    if (wanted.empty()) return;
    std::vector<image::PixelPicture> pictures;
    const std::string error = image::SamplePng(
        desktop.Picture,
        [&wanted](int32_t width, int32_t height) {
            std::vector<image::SampleGrid> grids;
            for (const WaylandOutput* output : wanted) {
                const SceneSize size = PhysicalSize(*output);
                grids.push_back(image::CoverGrid(width, height, size.Width, size.Height));
            }
            return grids;
        },
        pictures, stop);
    if (!error.empty()) errors << "wrigglet-wayland: " << error << "; starting from black\n";
    for (size_t i = 0; i < pictures.size(); ++i) desktop.Outputs[wanted[i]->Name] = std::move(pictures[i]);
}

void CopyScreens(wl_display* display, const WaylandGlobals& globals, const std::vector<const WaylandOutput*>& outputs,
                 DesktopPictures& desktop, std::ostream& errors, const StopRequest& stop) {
    // Outputs without a name can't be told apart: they start from black.
    std::vector<const WaylandOutput*> named;
    std::vector<CopiedOutput> copied;
    for (const WaylandOutput* output : outputs)
        if (!output->Name.empty()) {
            named.push_back(output);
            copied.push_back({output->Output, output->Transform});
        }
    std::vector<std::optional<image::PixelPicture>> pictures =
        CopyOutputs(display, globals.Shm, globals.ScreenCopy, copied, stop);
    desktop.Outputs.clear();
    for (size_t i = 0; i < named.size() && !StopDue(stop); ++i) {
        if (pictures[i])
            desktop.Outputs[named[i]->Name] = std::move(*pictures[i]);
        else
            errors << "wrigglet-wayland: the compositor did not copy " << named[i]->Name << "; starting from black\n";
    }
}

std::vector<OutputPlace> PlacesOf(const std::vector<const WaylandOutput*>& outputs) {
    std::vector<OutputPlace> places;
    for (const WaylandOutput* output : outputs) places.push_back({LogicalRect(*output), PhysicalSize(*output)});
    return places;
}

void Keep(const std::vector<const WaylandOutput*>& outputs, std::vector<image::PixelPicture>& parts,
          DesktopPictures& desktop) {
    desktop.Outputs.clear();
    for (size_t i = 0; i < parts.size() && i < outputs.size(); ++i)
        if (!outputs[i]->Name.empty()) desktop.Outputs[outputs[i]->Name] = std::move(parts[i]);
}

}  // namespace

void ReadDesktops(wl_display* display, const WaylandGlobals& globals, const WaylandOptions& options,
                  const std::vector<const WaylandOutput*>& outputs, DesktopPictures& desktop, std::ostream& errors,
                  const StopRequest& stop) {
    if (!options.Picture.empty()) {
        desktop.Picture = options.Picture;
        ReadPicture(outputs, desktop, errors, stop);
    } else if (options.Scene.Settings.Desktop && globals.ScreenCopy && globals.Shm) {
        CopyScreens(display, globals, outputs, desktop, errors, stop);
    }
}

void UseDesktopPicture(const image::PixelPicture& picture, const std::vector<const WaylandOutput*>& outputs,
                       DesktopPictures& desktop) {
    std::vector<image::PixelPicture> parts = CropDesktop(picture, PlacesOf(outputs));
    Keep(outputs, parts, desktop);
}

std::string UseDesktopPng(const std::string& path, const std::vector<const WaylandOutput*>& outputs,
                          DesktopPictures& desktop) {
    std::vector<image::PixelPicture> parts;
    std::string error = CropDesktopPng(path, PlacesOf(outputs), parts);
    Keep(outputs, parts, desktop);
    return error;
}

}  // namespace wrigglet::wayland
