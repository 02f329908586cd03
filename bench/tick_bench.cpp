// The step and the whole tick, timed the same way natively and in the browser (the same
// source compiled to WebAssembly), so scripts/bench-web.sh can set one beside the other:
// one step of 512 active wrigglets on 1920 x 1080 (as WriggletStep512), and one tick of
// the scene session at 1920 x 1080 with Lots and Turbo, its touched tiles included.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "core/frame.h"
#include "core/scene_session.h"
#include "core/scene_setup.h"
#include "core/wrigglet_step.h"
#include "sim/memory_scene_host.h"

namespace wrigglet {
namespace {

constexpr int32_t Width = 1920, Height = 1080;
constexpr int Rounds = 7;

// The fastest of a few rounds: on a shared machine other work only ever adds time.
template <typename Work>
double FastestMicroseconds(int rounds, int repeats, Work work) {
    double fastest = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i) work();
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        fastest = round == 0 ? took.count() / repeats : std::min(fastest, took.count() / repeats);
    }
    return fastest;
}

double StepMicroseconds() {
    SceneState scene;
    scene.Generator.TimeOfDay = FixedTimeOfDay(7);
    SaverSettings settings;
    settings.Wrigglets = 3;
    CreateScene(scene, settings, Width, Height, nullptr, nullptr);
    scene.ActiveCount = scene.MaxCount;
    std::vector<uint32_t> pixels(size_t{Width} * Height), background(pixels.size(), 0x336699);
    Frame frame;
    AttachFrame(frame, Width, Height, pixels.data(), background.data());
    for (int i = 0; i < 20000; ++i) WriggletStep(scene, frame);
    const double step = FastestMicroseconds(Rounds, 2000, [&] {
        WriggletStep(scene, frame);
        ResetTouched(frame);
    });
    ReleaseScene(scene);
    return step;
}

// 500 ticks of a session whose population has grown for 2000 ticks first; each round
// starts a fresh session, so every round times the same ticks.
double TickMicroseconds() {
    sim::MemorySceneHost host({{0, 0, Width, Height}}, std::vector<uint32_t>(size_t{Width} * Height, 0x336699));
    SceneOptions options;
    options.Settings.Wrigglets = 3;
    options.Settings.Speed = 3;
    options.Seed = 7;
    double fastest = 0;
    for (int round = 0; round < Rounds; ++round) {
        SceneSession session;
        OpenScene(session, SceneParts(host), options);
        for (int i = 0; i < 2000; ++i) TickScene(session);
        const double tick = FastestMicroseconds(1, 500, [&] { TickScene(session); });
        fastest = round == 0 ? tick : std::min(fastest, tick);
        CloseScene(session);
    }
    return fastest;
}

}  // namespace
}  // namespace wrigglet

int main() {
    std::printf("step of 512 wrigglets: %.2f us\n", wrigglet::StepMicroseconds());
    std::printf("tick at 1920x1080, Lots, Turbo: %.2f us\n", wrigglet::TickMicroseconds());
    return 0;
}
