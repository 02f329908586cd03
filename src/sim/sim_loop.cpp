// The simulator's loop: the saver's scene session on an in-memory host.
#include "sim/sim_loop.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/scene_session.h"
#include "image/png_read.h"
#include "posix/program_entry.h"
#include "sim/memory_scene_host.h"
#include "sim/output_file.h"
#include "sim/png_io.h"
#include "text/font_rasteriser.h"

namespace wrigglet::sim {

namespace {

// The sound has nowhere to go natively; the draws still happen in the core.
struct SilentSound : SoundPlayer {
    void PlayLooping(int32_t) override {}
};

std::string WriteField(const std::string& path, const SceneState& scene) {
    OutputFile output(path);
    std::FILE* file = output.Open();
    if (!file) return output.Commit();
    std::vector<uint8_t> row;
    for (int32_t y = 0; y <= scene.SceneHeight; ++y) {
        row.clear();
        for (int32_t x = 0; x <= scene.SceneWidth; ++x) {
            const uint32_t cell = static_cast<uint32_t>(scene.Field.At(x, y));
            for (int shift = 0; shift < 32; shift += 8) row.push_back(static_cast<uint8_t>(cell >> shift));
        }
        if (std::fwrite(row.data(), 1, row.size(), file) != row.size()) return output.Error(std::strerror(errno));
    }
    return output.Commit();
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int RunSimLoop(const SimOptions& options, std::ostream& out, std::ostream& errors) {
    const int32_t width = options.Width, height = options.Height;
    std::vector<uint32_t> background(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (!options.BackgroundPng.empty()) {
        if (std::string error = image::ReadBackgroundPng(options.BackgroundPng, width, height, background);
            !error.empty()) {
            return posix::Fail(errors, "wrigglet-sim", error);
        }
    }
    std::vector<PixelRect> monitors = options.Monitors;
    if (monitors.empty()) monitors.push_back({0, 0, width, height});
    MemorySceneHost host(monitors, std::move(background));
    SceneSession session;
    SilentSound sound;
    text::FontRasteriser text;
    const auto setupStart = std::chrono::steady_clock::now();
    SceneOptions opening;
    opening.Settings = options.Settings;
    opening.Seed = options.Seed;
    OpenScene(session, SceneParts(host, &sound, &text), opening);
    const double setupMs = MillisecondsSince(setupStart);
    if (!options.OutputField.empty()) {
        const SceneState none;
        const SceneState& primary = session.Scenes().empty() ? none : session.Scenes().front().Scene;
        if (std::string error = WriteField(options.OutputField, primary); !error.empty()) {
            return posix::Fail(errors, "wrigglet-sim", error);
        }
    }
    const auto ticksStart = std::chrono::steady_clock::now();
    for (int64_t tick = 0; tick < options.Ticks; ++tick) TickScene(session);
    const double ticksMs = MillisecondsSince(ticksStart);
    if (options.Stats) {
        out << "set-up: " << setupMs << " ms\n";
        if (options.Ticks > 0)
            out << "mean tick: " << ticksMs * 1000.0 / static_cast<double>(options.Ticks) << " us over "
                << options.Ticks << " ticks\n";
        if (const PresentCounts& sent = session.Presented(); sent.Presents > 0)
            out << "sent per present: " << sent.Rects / sent.Presents << " rectangles, " << sent.Pixels / sent.Presents
                << " pixels\n";
        if (options.Settings.Text && !text.FontFile().empty()) out << "font: " << text.FontFile() << "\n";
    }
    if (!options.OutputPng.empty()) {
        if (std::string error = WriteFramePng(options.OutputPng, width, height, host.Picture()); !error.empty()) {
            return posix::Fail(errors, "wrigglet-sim", error);
        }
    }
    return posix::ExitSuccess;
}

}  // namespace wrigglet::sim
