// Benchmarks of the noise generator, the scene set-up and the wrigglet step, each beside
// the reference transcription where there is one, for the speed ratio.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "core/frame.h"
#include "core/monitor_layout.h"
#include "core/noise_field.h"
#include "core/scene_session.h"
#include "core/scene_setup.h"
#include "core/text_imprint.h"
#include "core/wrigglet_step.h"
#include "memory_counter.h"
#include "oracle.h"
#include "sim/memory_scene_host.h"

namespace wrigglet {
namespace {

void GenerateNoiseField_(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0)), height = static_cast<int32_t>(state.range(1));
    FieldGrid grid;
    RandomGenerator random{0, FixedTimeOfDay(7)};
    for (auto _ : state) {
        GenerateNoiseField(grid, random, width, height);
        benchmark::DoNotOptimize(grid.Cells.data());
    }
}
BENCHMARK(GenerateNoiseField_)
    ->Name("GenerateNoiseField")
    ->Args({512, 384})
    ->Args({1024, 768})
    ->Unit(benchmark::kMillisecond);

void ReferenceNoiseField(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0)), height = static_cast<int32_t>(state.range(1));
    oracle::Grid grid;
    RandomGenerator random{0, FixedTimeOfDay(7)};
    for (auto _ : state) {
        oracle::GenerateNoiseField(grid, random, 0, 0, width, height);
        benchmark::DoNotOptimize(grid.Cells.data());
    }
}
BENCHMARK(ReferenceNoiseField)->Args({512, 384})->Args({1024, 768})->Unit(benchmark::kMillisecond);

// Set-up with text off: records, colour tables, noise tile and tiling. Reports the peak
// heap of one set-up (grid plus scratch) in MB.
void SceneSetup_(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0)), height = static_cast<int32_t>(state.range(1));
    SaverSettings settings;
    settings.Wrigglets = 3;
    double peakMb = 0;
    for (auto _ : state) {
        SceneState scene;
        scene.Generator.TimeOfDay = FixedTimeOfDay(7);
        bench::ResetPeakBytes();
        const size_t before = bench::BytesInUse();
        CreateScene(scene, settings, width, height, nullptr, nullptr);
        peakMb = static_cast<double>(bench::PeakBytes() - before) / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(scene.Field.Cells.data());
        state.PauseTiming();
        ReleaseScene(scene);
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peakMb;
}
BENCHMARK(SceneSetup_)->Name("SceneSetup")->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void ReferenceSceneSetup(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0)), height = static_cast<int32_t>(state.range(1));
    SaverSettings settings;
    settings.Wrigglets = 3;
    for (auto _ : state) {
        oracle::Scene scene;
        oracle::CreateScene(scene, settings, width, height, 7, {});
        benchmark::DoNotOptimize(scene.Field.Cells.data());
    }
}
BENCHMARK(ReferenceSceneSetup)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// One step of 512 active wrigglets (Wrigglets 3, the whole population let in and spread
// over the screen by 20000 steps first, as in a long run) on a 1920 x 1080 frame.
void WriggletStep512(benchmark::State& state) {
    SceneState scene;
    scene.Generator.TimeOfDay = FixedTimeOfDay(7);
    SaverSettings settings;
    settings.Wrigglets = 3;
    CreateScene(scene, settings, 1920, 1080, nullptr, nullptr);
    scene.ActiveCount = scene.MaxCount;
    std::vector<uint32_t> pixels(1920 * 1080), background(1920 * 1080, 0x336699);
    Frame frame;
    AttachFrame(frame, 1920, 1080, pixels.data(), background.data());
    for (int i = 0; i < 20000; ++i) WriggletStep(scene, frame);
    for (auto _ : state) {
        WriggletStep(scene, frame);
        ResetTouched(frame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WriggletStep512)->Unit(benchmark::kMicrosecond);

void ReferenceWriggletStep512(benchmark::State& state) {
    oracle::Scene scene;
    SaverSettings settings;
    settings.Wrigglets = 3;
    oracle::CreateScene(scene, settings, 1920, 1080, 7, std::vector<uint32_t>(1920 * 1080, 0x996633));
    scene.ActiveCount = scene.MaxCount;
    for (int i = 0; i < 20000; ++i) oracle::WriggletStep(scene);
    for (auto _ : state) {
        oracle::WriggletStep(scene);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ReferenceWriggletStep512)->Unit(benchmark::kMicrosecond);

// The words as solid blocks on a 32-bit surface, as the platform's DIB section holds them:
// what the imprint costs in memory, without a font.
struct BlockText : TextRasteriser {
    std::vector<uint32_t> Surface;
    int32_t Width = 0, Height = 0, CellHeight = 0;
    bool BeginSurface(int32_t width, int32_t height, const FontRequest& font) override {
        Width = width, Height = height, CellHeight = font.Height;
        Surface.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
        return true;
    }
    std::optional<int32_t> MeasureWord(std::string_view word) override {
        return static_cast<int32_t>(word.size()) * Width / 14;
    }
    void DrawWord(std::string_view word, int32_t x, int32_t y) override {
        const int32_t right = std::min(x + static_cast<int32_t>(word.size()) * Width / 14, Width);
        for (int32_t row = std::max(y, 0); row < std::min(y + CellHeight, Height); ++row)
            std::fill(Surface.begin() + row * static_cast<ptrdiff_t>(Width) + std::max(x, 0),
                      Surface.begin() + row * static_cast<ptrdiff_t>(Width) + std::max(right, 0), 0xFFFFFFu);
    }
    TextMask ReadMask() override { return {reinterpret_cast<const uint8_t*>(Surface.data()) + 2, 4, Width * 4}; }
    void EndSurface() override { Surface = {}; }
};

// The saver's set-up peak with Text on: the two screen-sized pictures the window holds,
// then the scene's set-up. Reports the peak heap in MB and its ratio to the pictures plus
// the field, the least the scene can live with.
void SceneSetupWithPictures(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0)), height = static_cast<int32_t>(state.range(1));
    SaverSettings settings;
    settings.Wrigglets = 3;
    settings.Text = true;
    double peakMb = 0, ratio = 0;
    for (auto _ : state) {
        bench::ResetPeakBytes();
        const size_t before = bench::BytesInUse();
        std::vector<uint32_t> snapshot(static_cast<size_t>(width) * height), picture(snapshot.size());
        SceneState scene;
        scene.Generator.TimeOfDay = FixedTimeOfDay(7);
        BlockText text;
        CreateScene(scene, settings, width, height, nullptr, &text);
        const double peak = static_cast<double>(bench::PeakBytes() - before);
        const double least = static_cast<double>((snapshot.size() + picture.size()) * sizeof(uint32_t) +
                                                 scene.Field.Cells.size() * sizeof(FieldCell));
        peakMb = peak / (1024.0 * 1024.0);
        ratio = peak / least;
        benchmark::DoNotOptimize(scene.Field.Cells.data());
        state.PauseTiming();
        ReleaseScene(scene);
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["peak_over_pictures_and_field"] = ratio;
}
BENCHMARK(SceneSetupWithPictures)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Args({7680, 4320})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The full-screen set-up over several monitors, through the scene session as the saver
// runs it (capture copy, one scene per monitor, Lots, text off): one 1920x1080 monitor, one
// 2560x1440, the two side by side, one 3840x2160, and three of those side by side. Reports
// the peak heap in MB (the pictures included, each set-up on fresh memory as in a new saver
// process) and the million pixels shown, so two monitors can be set beside each alone.
const std::vector<std::vector<PixelRect>> BenchLayouts{
    {{0, 0, 1920, 1080}},
    {{0, 0, 2560, 1440}},
    {{0, 0, 1920, 1080}, {1920, 0, 4480, 1440}},
    {{0, 0, 3840, 2160}},
    {{0, 0, 3840, 2160}, {3840, 0, 7680, 2160}, {7680, 0, 11520, 2160}},
};

void MonitorsSetup(benchmark::State& state) {
    const std::vector<PixelRect>& monitors = BenchLayouts[static_cast<size_t>(state.range(0))];
    const PixelRect box = VirtualRect(monitors);
    const int32_t width = box.Right - box.Left, height = box.Bottom - box.Top;
    double shown = 0;
    for (const PixelRect& m : monitors) shown += double(m.Right - m.Left) * (m.Bottom - m.Top) / 1e6;
    SaverSettings settings;
    settings.Wrigglets = 3;
    sim::MemorySceneHost host(monitors, std::vector<uint32_t>(size_t(width) * height, 0x336699));
    double peakMb = 0;
    for (auto _ : state) {
        SceneSession session;
        bench::ResetPeakBytes();
        const size_t before = bench::BytesInUse();
        SceneOptions options;
        options.Settings = settings;
        options.Seed = 7;
        OpenScene(session, SceneParts(host), options);
        peakMb = static_cast<double>(bench::PeakBytes() - before) / (1024.0 * 1024.0);
        state.PauseTiming();
        CloseScene(session);
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["Mpixels"] = shown;
}
BENCHMARK(MonitorsSetup)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// Set-up as a fresh saver process meets it: every big block is new memory whose pages
// fault in on first touch (the allocator is told to map each block afresh). Runs last,
// since the allocator setting stays.
void SceneSetupFreshPages(benchmark::State& state) {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    SceneSetup_(state);
}
BENCHMARK(SceneSetupFreshPages)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wrigglet
