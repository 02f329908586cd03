// The simulator's run: the same core calls the saver makes, on buffers in memory.
#include "sim/sim_run.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/frame.h"
#include "core/scene_setup.h"
#include "core/wrigglet_step.h"
#include "sim/output_file.h"
#include "text/font_rasteriser.h"
#include "sim/png_io.h"

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

int RunSimulation(const SimOptions& options, std::ostream& out, std::ostream& errors) {
    const int32_t width = options.Width, height = options.Height;
    std::vector<uint32_t> background(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (!options.BackgroundPng.empty()) {
        if (std::string error = ReadBackgroundPng(options.BackgroundPng, width, height, background); !error.empty()) {
            errors << "wrigglet-sim: " << error << "\n";
            return 1;
        }
    }
    SceneState scene;
    if (options.Seed) scene.Generator.TimeOfDay = FixedTimeOfDay(*options.Seed);
    SilentSound sound;
    text::FontRasteriser text;
    const auto setupStart = std::chrono::steady_clock::now();
    CreateScene(scene, options.Settings, width, height, &sound, &text);
    const double setupMs = MillisecondsSince(setupStart);
    if (!options.OutputField.empty()) {
        if (std::string error = WriteField(options.OutputField, scene); !error.empty()) {
            errors << "wrigglet-sim: " << error << "\n";
            return 1;
        }
    }
    std::vector<uint32_t> pixels = background;
    Frame frame;
    AttachFrame(frame, width, height, pixels.data(), background.data());
    const auto ticksStart = std::chrono::steady_clock::now();
    for (int64_t tick = 0; tick < options.Ticks; ++tick) {
        FrameTick(scene, frame, &sound);
        ResetTouched(frame);
    }
    const double ticksMs = MillisecondsSince(ticksStart);
    if (options.Stats) {
        out << "set-up: " << setupMs << " ms\n";
        if (options.Ticks > 0) out << "mean tick: " << ticksMs * 1000.0 / static_cast<double>(options.Ticks) << " us over "
                                   << options.Ticks << " ticks\n";
        if (options.Settings.Text && !text.FontFile().empty()) out << "font: " << text.FontFile() << "\n";
    }
    if (!options.OutputPng.empty()) {
        if (std::string error = WriteFramePng(options.OutputPng, width, height, pixels); !error.empty()) {
            errors << "wrigglet-sim: " << error << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace wrigglet::sim
