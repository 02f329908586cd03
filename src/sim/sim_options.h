// wrigglet-sim's command line: what to simulate and what to write out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/saver_settings.h"
#include "image/png_read.h"
#include "posix/program_entry.h"

namespace wrigglet::sim {

inline constexpr int32_t MaxSimSize = image::MaxImageSide;
// The monitors of --monitors may lie anywhere within this many pixels of one another.
inline constexpr int32_t MaxSimExtent = 2 * MaxSimSize;

struct SimOptions {
    int32_t Width = 1024;
    int32_t Height = 768;
    // --monitors: the monitors on the virtual screen, the primary first; Width and Height are
    // then the virtual rectangle's. Empty: one monitor of Width x Height.
    std::vector<PixelRect> Monitors;
    std::optional<uint32_t> Seed;  // none: seed from the time of day, as the saver does
    SaverSettings Settings;
    int64_t Ticks = 0;
    std::string BackgroundPng;  // empty: black
    std::string OutputPng;
    std::string OutputField;
    bool Stats = false;
};

// The simulator's options bound to `options`, and their spelling, for the entry.
posix::ProgramCommandLine SimCommandLine(SimOptions& options);

}  // namespace wrigglet::sim
