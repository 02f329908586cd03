// Helpers shared by the scene tests: a recording sound player, settings, seeded scenes
// with their own frame buffers, frame hashes, and comparison with the reference scene.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/scene_setup.h"
#include "core/wrigglet_step.h"
#include "oracle.h"

namespace wrigglet::fixtures {

// Records every sound started.
struct RecordingSound : SoundPlayer {
    std::vector<int32_t> Played;
    void PlayLooping(int32_t resource) override { Played.push_back(resource); }
};

inline SaverSettings MakeSettings(int32_t wrigglets, int32_t speed = 2, bool sound = false, bool desktop = true) {
    SaverSettings s;
    s.Wrigglets = wrigglets;
    s.Speed = speed;
    s.Sound = sound;
    s.Desktop = desktop;
    return s;
}

// True under AddressSanitizer or an emulator (a cross build's tests), where the biggest
// reference comparisons are skipped: the native run covers them.
#if defined(__SANITIZE_ADDRESS__) || defined(WRIGGLET_EMULATED)
inline constexpr bool SlowRun = true;
#else
inline constexpr bool SlowRun = false;
#endif

struct SeededScene {
    SceneState Scene;
    std::vector<uint32_t> Pixels;
    std::vector<uint32_t> Background;
    Frame Picture;
};

// A scene of width x height whose every Randomize yields `seed`, on a black background
// (or `background`, 0x00RRGGBB pixels), its picture starting as the background.
inline void MakeSeededScene(SeededScene& s, const SaverSettings& settings, int32_t width, int32_t height, uint32_t seed,
                            std::vector<uint32_t> background = {}, SoundPlayer* sound = nullptr) {
    s.Scene.Generator.TimeOfDay = FixedTimeOfDay(seed);
    CreateScene(s.Scene, settings, width, height, sound, nullptr);
    if (background.empty()) background.assign(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0), 0);
    s.Background = std::move(background);
    s.Pixels = s.Background;
    AttachFrame(s.Picture, width, height, s.Pixels.data(), s.Background.data());
}

// FNV-1a over the frame as 8-bit RGB bytes, row by row (the order a PNG stores them).
inline uint64_t HashRgb(const std::vector<uint8_t>& rgb) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t byte : rgb) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

inline std::vector<uint8_t> ColorRefsToRgb(const std::vector<uint32_t>& colors) {
    std::vector<uint8_t> rgb;
    rgb.reserve(colors.size() * 3);
    for (uint32_t c : colors) {
        rgb.push_back(static_cast<uint8_t>(c));
        rgb.push_back(static_cast<uint8_t>(c >> 8));
        rgb.push_back(static_cast<uint8_t>(c >> 16));
    }
    return rgb;
}

}  // namespace wrigglet::fixtures
