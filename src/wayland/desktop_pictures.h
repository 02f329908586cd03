// What the scenes crawl over: the -picture file, or each output's contents as grim read them
// at start (where the compositor lets a client copy the screen), or nothing (black).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/stop_request.h"
#include "image/png_read.h"

namespace wrigglet::wayland {

struct DesktopPictures {
    std::optional<image::RgbPicture> Picture;           // -picture, for every output
    std::map<std::string, image::RgbPicture> Captures;  // by output name
};

// True when there is a picture for the output of this name.
bool HasDesktop(const DesktopPictures& desktop, const std::string& output);

// Fills width x height 0x00RRGGBB pixels with the output's picture, scaled to cover them.
void FillDesktop(const DesktopPictures& desktop, const std::string& output, int32_t width, int32_t height,
                 uint32_t* pixels);

// Reads what each of these outputs shows now, through `grim -o NAME`, in place of what was
// read before; an output grim can't read (grim missing or failing, or a stop came) is left
// without.
void CaptureOutputs(DesktopPictures& desktop, const std::vector<std::string>& outputs, const StopRequest& stop);

}  // namespace wrigglet::wayland
