// Host tool: synthesises one of the saver's looping sounds from the recipe file and
// writes it as an 8-bit unsigned mono 11025 Hz PCM wave file with a 44-byte header.
// Usage: make_sound RECIPE ID OUTPUT.wav
//
// A recipe line reads "sound ID SAMPLES PEAK SEED BUBBLES SQUELCHES SLITHER":
// the sound's length in samples, its peak as a fraction of full scale, the seed of its
// random choices, how many wet bubbles and squelches it holds, and the level of the
// soft slithering bed under them. Every event is laid on a circular buffer, so whatever
// rings past the end continues at the start and the sound loops without a seam.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double SampleRate = 11025.0;
constexpr double TwoPi = 2.0 * std::numbers::pi;

struct Recipe {
    int Id = 0;
    int Samples = 0;
    double Peak = 0.0;
    uint64_t Seed = 0;
    int Bubbles = 0;
    int Squelches = 0;
    double Slither = 0.0;
};

// splitmix64: the same numbers on every host, unlike the standard distributions.
struct Dice {
    uint64_t State;
    double Uniform() {
        uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return double((z ^ (z >> 31)) >> 11) / double(1ull << 53);
    }
    double Between(double low, double high) { return low + (high - low) * Uniform(); }
    double Noise() { return 2.0 * Uniform() - 1.0; }
};

using Loop = std::vector<double>;

void AddCircular(Loop& loop, size_t start, size_t offset, double value) {
    loop[(start + offset) % loop.size()] += value;
}

// A short fast attack keeps every event free of clicks.
double Attack(double t, double seconds) { return std::min(1.0, t / seconds); }

// A drop or bubble: a decaying sine whose pitch rises as it closes, the classic wet "plip".
void AddBubble(Loop& loop, Dice& dice, size_t start) {
    const double pitch = dice.Between(260.0, 900.0), rise = dice.Between(6.0, 22.0);
    const double decay = dice.Between(0.010, 0.035), level = dice.Between(0.35, 1.0);
    const size_t length = std::min(loop.size() - 1, size_t(6.0 * decay * SampleRate));
    double phase = 0.0;
    for (size_t i = 0; i < length; ++i) {
        const double t = double(i) / SampleRate;
        phase += TwoPi * pitch * (1.0 + rise * t) / SampleRate;
        AddCircular(loop, start, i, level * Attack(t, 0.002) * std::exp(-t / decay) * std::sin(phase));
    }
}

// A squelch: noise through a resonant band-pass whose centre slides up, over a low
// sucking tone that slides down.
void AddSquelch(Loop& loop, Dice& dice, size_t start) {
    const double from = dice.Between(220.0, 420.0), to = dice.Between(700.0, 1500.0);
    const double seconds = dice.Between(0.08, 0.22), level = dice.Between(0.5, 1.0);
    const double suck = dice.Between(80.0, 150.0);
    const size_t length = std::min(loop.size() - 1, size_t(2.5 * seconds * SampleRate));
    double low = 0.0, band = 0.0, phase = 0.0;
    constexpr double Damping = 0.25;  // a wet, ringing resonance
    for (size_t i = 0; i < length; ++i) {
        const double t = double(i) / SampleRate;
        const double sweep = std::min(1.0, t / seconds);
        const double f = 2.0 * std::sin(std::numbers::pi * (from + (to - from) * sweep) / SampleRate);
        const double high = dice.Noise() - low - Damping * band;
        band += f * high;
        low += f * band;
        phase += TwoPi * suck * (1.0 - 0.4 * sweep) / SampleRate;
        const double envelope = Attack(t, 0.012) * std::exp(-t / (0.45 * seconds));
        AddCircular(loop, start, i, level * envelope * (0.35 * band + 0.45 * std::sin(phase)));
    }
}

// The slithering bed: soft band-limited noise that never falls silent, swelling a whole
// number of times per loop. The filters run over the noise twice and keep the second pass, so their state
// at the end matches the start.
void AddSlither(Loop& loop, Dice& dice, double level) {
    if (level <= 0.0) return;
    const size_t n = loop.size();
    std::vector<double> noise(n);
    for (auto& v : noise) v = dice.Noise();
    const double swells = std::max(1.0, std::round(double(n) / SampleRate * 3.0));
    double smooth = 0.0, rumble = 0.0;
    for (size_t pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; ++i) {
            smooth += 0.30 * (noise[i] - smooth);
            rumble += 0.03 * (smooth - rumble);
            if (pass == 0) continue;
            const double swell = 0.675 - 0.325 * std::cos(TwoPi * swells * double(i) / double(n));
            loop[i] += level * swell * (smooth - rumble);
        }
}

// Bubbles come in little clusters, like a body wriggling through something wet.
Loop Synthesise(const Recipe& recipe) {
    Loop loop(size_t(recipe.Samples), 0.0);
    Dice dice{recipe.Seed};
    AddSlither(loop, dice, recipe.Slither);
    for (int i = 0; i < recipe.Squelches; ++i) AddSquelch(loop, dice, size_t(dice.Uniform() * recipe.Samples));
    for (int i = 0; i < recipe.Bubbles;) {
        size_t at = size_t(dice.Uniform() * recipe.Samples);
        for (int k = 1 + int(dice.Uniform() * 3); k > 0 && i < recipe.Bubbles; --k, ++i) {
            AddBubble(loop, dice, at);
            at += size_t(dice.Between(0.03, 0.09) * SampleRate);
        }
    }
    return loop;
}

// Removes any offset and scales the loudest sample to `peak` of full scale (128 steps).
std::vector<uint8_t> Quantise(Loop loop, double peak) {
    double mean = 0.0;
    for (double v : loop) mean += v;
    mean /= double(loop.size());
    double loudest = 1e-9;
    for (double& v : loop) loudest = std::max(loudest, std::abs(v -= mean));
    std::vector<uint8_t> samples;
    for (double v : loop)
        samples.push_back(uint8_t(std::clamp(std::lround(128.0 + v / loudest * peak * 128.0), 0L, 255L)));
    return samples;
}

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

std::vector<uint8_t> WaveFile(const std::vector<uint8_t>& samples) {
    std::vector<uint8_t> file;
    const auto count = uint32_t(samples.size());
    PutTag(file, "RIFF");
    Put(file, 36 + count, 4);
    PutTag(file, "WAVE");
    PutTag(file, "fmt ");
    Put(file, 16, 4);
    Put(file, 1, 2);  // PCM
    Put(file, 1, 2);  // mono
    Put(file, uint32_t(SampleRate), 4);
    Put(file, uint32_t(SampleRate), 4);  // bytes per second
    Put(file, 1, 2);                     // block align
    Put(file, 8, 2);                     // bits per sample
    PutTag(file, "data");
    Put(file, count, 4);
    file.insert(file.end(), samples.begin(), samples.end());
    return file;
}

bool FindRecipe(std::istream& in, int id, Recipe& recipe) {
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword) || keyword != "sound") continue;
        Recipe r;
        if (!(words >> r.Id >> r.Samples >> r.Peak >> r.Seed >> r.Bubbles >> r.Squelches >> r.Slither)) continue;
        if (r.Id != id) continue;
        recipe = r;
        return r.Samples > 1 && r.Peak > 0.0 && r.Peak < 1.0;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_sound RECIPE ID OUTPUT.wav\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    Recipe recipe;
    if (!in || !FindRecipe(in, std::atoi(argv[2]), recipe)) {
        std::cerr << "make_sound: no valid recipe for sound " << argv[2] << " in " << argv[1] << "\n";
        return 1;
    }
    const std::vector<uint8_t> file = WaveFile(Quantise(Synthesise(recipe), recipe.Peak));
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    if (!out) {
        std::cerr << "make_sound: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
