#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/monitor_layout.h"
#include "scene_fixtures.h"
#include "text/font_rasteriser.h"
#include "image/png_read.h"
#include "sim/png_io.h"
#include "sim/sim_options.h"

namespace wrigglet::sim {
namespace {

namespace fs = std::filesystem;

// A fresh directory for one test's files.
fs::path TempDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("wrigglet-sim-test-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

struct SimRun {
    int ExitCode;
    std::string Stdout, Stderr;
};

SimRun RunSim(const std::string& arguments, const fs::path& dir) {
    const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
    const std::string command =
        std::string(WRIGGLET_SIM_PATH) + " " + arguments + " >" + out.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    auto slurp = [](const fs::path& p) {
        std::stringstream s;
        s << std::ifstream(p).rdbuf();
        return s.str();
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint64_t PngHash(const fs::path& path, int32_t expectWidth, int32_t expectHeight) {
    image::RgbPicture picture;
    EXPECT_EQ(image::ReadRgbPng(path.string(), picture), "");
    EXPECT_EQ(picture.Width, expectWidth);
    EXPECT_EQ(picture.Height, expectHeight);
    return fixtures::HashRgb(picture.Rgb);
}

// The one-line reason the arguments are refused, or empty; the options in `options`.
std::string Parse(const std::vector<std::string>& arguments, SimOptions& options) {
    return posix::ParseCommandLine(SimCommandLine(options), arguments).Error;
}

TEST(SimOptions, DefaultsAndEveryFlag) {
    SimOptions defaults;
    EXPECT_EQ(Parse({}, defaults), "");
    EXPECT_EQ(defaults.Width, 1024);
    EXPECT_EQ(defaults.Height, 768);
    EXPECT_EQ(defaults.Settings.Wrigglets, 2);
    EXPECT_EQ(defaults.Settings.Speed, 2);
    EXPECT_FALSE(defaults.Settings.Sound);
    EXPECT_FALSE(defaults.Settings.Text);
    EXPECT_EQ(defaults.Ticks, 0);
    EXPECT_FALSE(defaults.Seed.has_value());

    SimOptions o;
    ASSERT_EQ(Parse({"--size",  "1920x1080", "--seed",  "4294967295", "--wrigglets", "3",      "--speed=3",
                     "--sound", "on",        "--text",  "on",         "--ticks",     "3000",   "--background",
                     "in.png",  "--png",     "out.png", "--field",    "f.bin",       "--stats"},
                    o),
              "");
    EXPECT_EQ(o.Width, 1920);
    EXPECT_EQ(o.Height, 1080);
    EXPECT_EQ(o.Seed, 4294967295u);
    EXPECT_EQ(o.Settings.Wrigglets, 3);
    EXPECT_EQ(o.Settings.Speed, 3);
    EXPECT_TRUE(o.Settings.Sound);
    EXPECT_TRUE(o.Settings.Text);
    EXPECT_EQ(o.Ticks, 3000);
    EXPECT_EQ(o.BackgroundPng, "in.png");
    EXPECT_EQ(o.OutputPng, "out.png");
    EXPECT_EQ(o.OutputField, "f.bin");
    EXPECT_TRUE(o.Stats);
    SimOptions dashed;
    EXPECT_TRUE(posix::ParseCommandLine(SimCommandLine(dashed), {"-h"}).Help);
    EXPECT_EQ(Parse({"--png=-x.png"}, dashed), "");
    EXPECT_EQ(dashed.OutputPng, "-x.png");
}

TEST(SimOptions, BadArgumentsSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        std::string mentions;
    };
    const Case cases[] = {
        {{"--size", "0x10"}, "--size"},
        {{"--size", "8193x10"}, "--size"},
        {{"--size", "10"}, "--size"},
        {{"--size", "10x"}, "--size"},
        {{"--size", "-5x10"}, "--size"},
        {{"--seed", "-1"}, "--seed"},
        {{"--seed", "4294967296"}, "--seed"},
        {{"--seed", "12a"}, "--seed"},
        {{"--seed", "+3"}, "--seed"},
        {{"--wrigglets", "x"}, "--wrigglets"},
        {{"--speed", ""}, "--speed"},
        {{"--sound", "yes"}, "--sound"},
        {{"--text", "ON"}, "--text"},
        {{"--ticks", "-1"}, "--ticks"},
        {{"--ticks"}, "--ticks needs a value"},
        {{"--png", ""}, "--png needs a value"},
        {{"--png", "--stats"}, "--png needs a value, not the option '--stats'"},
        {{"--size", "64x48+0+0"}, "--size wants WxH"},
        {{"--stats=1"}, "--stats"},
        {{"--frobnicate"}, "--frobnicate"},
        {{"extra"}, "unknown argument 'extra'"},
        {{"--monitors", "100x100+0+0,100x100+50+0"}, "overlap"},
        {{"--monitors", ""}, "--monitors wants"},
        {{"--monitors", "100x100+0+0,,50x50+100+0"}, "not ''"},
        {{"--monitors", "0x10+0+0"}, "each side"},
        {{"--monitors", "9000x10+0+0"}, "each side"},
        {{"--monitors", "10x10+0"}, "--monitors wants"},
        {{"--monitors", "10x10+0+0", "--size", "5x5"}, "don't go together"},
    };
    for (const Case& c : cases) {
        SimOptions options;
        const std::string error = Parse(c.args, options);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.args[0] << " gave '" << error << "'";
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

// The entry's wiring: a bad command line and --version.
TEST(WriggletSim, SaysItsUsageLineOrItsVersion) {
    const fs::path dir = TempDir("entry");
    const SimRun bad = RunSim("--speed fast", dir);
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_EQ(bad.Stderr.rfind("wrigglet-sim: --speed wants a whole number, not 'fast'; usage: wrigglet-sim [", 0), 0u)
        << bad.Stderr;
    const SimRun version = RunSim("--version", dir);
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Stdout, "wrigglet-sim " WRIGGLET_VERSION "\n");
    fs::remove_all(dir);
}

// Frames produced once by the reference scene (tests/oracle), black background.
TEST(WriggletSim, GoldenFramesMatchTheReference) {
    struct Case {
        std::string args;
        int32_t width, height;
        uint64_t hash;
    };
    const Case cases[] = {
        {"--size 160x120 --seed 1 --wrigglets 3 --speed 3 --ticks 600", 160, 120, 0x048737fc3b42ae64ull},
        {"--size 160x120 --seed 2004 --wrigglets 2 --speed 2 --ticks 600", 160, 120, 0xf8ceee04e6576708ull},
        {"--size 97x61 --seed 7 --wrigglets 1 --speed 1 --sound on --ticks 1500", 97, 61, 0x287e82e704dccb79ull},
    };
    const fs::path dir = TempDir("golden");
    for (const Case& c : cases) {
        const SimRun run = RunSim(c.args + " --png " + (dir / "frame.png").string(), dir);
        ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
        EXPECT_EQ(PngHash(dir / "frame.png", c.width, c.height), c.hash) << c.args;
    }
    fs::remove_all(dir);
}

// Each monitor shows exactly the single screen of its size with its scene's seed; where no
// monitor is, black. The positions may be negative: only their arrangement matters.
TEST(WriggletSim, SeveralMonitorsAreSingleScreensSideBySide) {
    const fs::path dir = TempDir("monitors");
    const std::string common = " --wrigglets 3 --speed 3 --ticks 300 --png ";
    ASSERT_EQ(RunSim("--monitors 120x90+0+0,80x60-80+0 --seed 5" + common + (dir / "both.png").string(), dir).ExitCode,
              0);
    ASSERT_EQ(RunSim("--size 120x90 --seed 5" + common + (dir / "primary.png").string(), dir).ExitCode, 0);
    ASSERT_EQ(
        RunSim("--size 80x60 --seed " + std::to_string(MonitorSeed(5, 1)) + common + (dir / "left.png").string(), dir)
            .ExitCode,
        0);
    auto read = [&](const char* name, int32_t& w) {
        image::RgbPicture picture;
        EXPECT_EQ(image::ReadRgbPng((dir / name).string(), picture), "");
        w = picture.Width;
        return picture.Rgb;
    };
    int32_t width = 0, primaryWidth = 0, leftWidth = 0;
    const std::vector<uint8_t> both = read("both.png", width), primary = read("primary.png", primaryWidth),
                               left = read("left.png", leftWidth);
    ASSERT_EQ(width, 200);
    ASSERT_EQ(both.size(), 200u * 90u * 3u);
    size_t uncoveredLit = 0;
    for (int32_t y = 0; y < 90; ++y)
        for (int32_t x = 0; x < 200; ++x)
            for (int32_t c = 0; c < 3; ++c) {
                const uint8_t got = both[(static_cast<size_t>(y) * 200 + x) * 3 + c];
                if (x >= 80)
                    ASSERT_EQ(got, primary[(static_cast<size_t>(y) * 120 + x - 80) * 3 + c]) << x << "," << y;
                else if (y < 60)
                    ASSERT_EQ(got, left[(static_cast<size_t>(y) * 80 + x) * 3 + c]) << x << "," << y;
                else
                    uncoveredLit += got != 0;
            }
    EXPECT_EQ(uncoveredLit, 0u);
    EXPECT_NE(left, std::vector<uint8_t>(left.size(), 0)) << "the left monitor has its own wrigglets";
    const std::string same = "--monitors 64x48+10+20 --seed 3 --ticks 50 --png ";
    ASSERT_EQ(RunSim(same + (dir / "a.png").string(), dir).ExitCode, 0);
    ASSERT_EQ(RunSim("--size 64x48 --seed 3 --ticks 50 --png " + (dir / "b.png").string(), dir).ExitCode, 0);
    EXPECT_EQ(ReadBytes(dir / "a.png"), ReadBytes(dir / "b.png")) << "one monitor is the --size form";
    fs::remove_all(dir);
}

TEST(WriggletSim, SameArgumentsGiveTheSameBytes) {
    const fs::path dir = TempDir("same");
    for (const std::string text : {"off", "on"}) {
        const std::string args = "--size 200x150 --seed 99 --wrigglets 3 --speed 3 --ticks 200 --text " + text;
        ASSERT_EQ(
            RunSim(args + " --png " + (dir / "a.png").string() + " --field " + (dir / "a.bin").string(), dir).ExitCode,
            0);
        ASSERT_EQ(
            RunSim(args + " --png " + (dir / "b.png").string() + " --field " + (dir / "b.bin").string(), dir).ExitCode,
            0);
        EXPECT_EQ(ReadBytes(dir / "a.png"), ReadBytes(dir / "b.png")) << "text " << text;
        EXPECT_EQ(ReadBytes(dir / "a.bin"), ReadBytes(dir / "b.bin")) << "text " << text;
    }
    fs::remove_all(dir);
}

TEST(WriggletSim, FieldFileHoldsCellsRowByRowAsLittleEndianInt32) {
    const fs::path dir = TempDir("field");
    ASSERT_EQ(RunSim("--size 70x40 --seed 5 --field " + (dir / "f.bin").string() + " --text on", dir).ExitCode, 0);
    const std::vector<uint8_t> bytes = ReadBytes(dir / "f.bin");
    ASSERT_EQ(bytes.size(), 71u * 41u * 4u);
    auto cell = [&](int32_t x, int32_t y) {
        const size_t at = (static_cast<size_t>(y) * 71 + x) * 4;
        return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                    uint32_t{bytes[at + 3]} << 24);
    };
    SceneState scene;
    scene.Generator.TimeOfDay = FixedTimeOfDay(5);
    CreateScene(scene, SaverSettings{}, 70, 40, nullptr, nullptr);
    int32_t lit = 0;
    for (int32_t y = 0; y <= 40; ++y) {
        for (int32_t x = 0; x <= 70; ++x) {
            const int32_t raised = cell(x, y) - scene.Field.At(x, y);
            ASSERT_TRUE(raised == 0 || raised == 256) << x << "," << y;
            if (x == 70 || y == 40)
                ASSERT_EQ(raised, 256) << x << "," << y;
            else
                lit += raised != 0;
        }
    }
    EXPECT_GT(lit, 70 * 40 / 20) << "the words cover part of the scene";
    fs::remove_all(dir);
}

TEST(WriggletSim, BackgroundIsScaledToTheScene) {
    const fs::path dir = TempDir("background");
    ASSERT_EQ(WriteFramePng((dir / "in.png").string(), 2, 2, {0x112233, 0x445566, 0x778899, 0xAABBCC}), "");
    ASSERT_EQ(RunSim("--size 4x6 --wrigglets 0 --background " + (dir / "in.png").string() + " --png " +
                         (dir / "out.png").string(),
                     dir)
                  .ExitCode,
              0);
    image::RgbPicture picture;
    ASSERT_EQ(image::ReadRgbPng((dir / "out.png").string(), picture), "");
    const std::vector<uint8_t>& rgb = picture.Rgb;
    ASSERT_EQ(rgb.size(), 4u * 6u * 3u);
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.begin() + 3), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
    EXPECT_EQ(std::vector<uint8_t>(rgb.end() - 3, rgb.end()), (std::vector<uint8_t>{0xAA, 0xBB, 0xCC}));
    const SimRun missing = RunSim("--size 4x6 --background " + (dir / "none.png").string(), dir);
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_NE(missing.Stderr.find("none.png"), std::string::npos);
    fs::remove_all(dir);
}

// A write that fails leaves what was there: here a link to a device that is always full,
// which a writer that replaced the target by name would remove.
TEST(WriggletSim, FailedWritesSayWhyAndRemoveNothing) {
    const fs::path dir = TempDir("full");
    for (const std::string option : {"--png", "--field"}) {
        const fs::path link = dir / "out";
        fs::create_symlink("/dev/full", link);
        const SimRun run = RunSim("--size 64x48 " + option + " " + link.string(), dir);
        EXPECT_EQ(run.ExitCode, 1) << option;
        EXPECT_NE(run.Stderr.find("No space left on device"), std::string::npos) << option << ": " << run.Stderr;
        EXPECT_TRUE(fs::is_symlink(link)) << option;
        fs::remove(link);
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"stderr.txt", "stdout.txt"})) << "no temporary file stays behind";
    fs::remove_all(dir);
}

// A PNG whose header claims the size and whose data stops at once, checksums right.
void WritePngHeader(const fs::path& path, uint32_t width, uint32_t height) {
    auto be32 = [](std::vector<uint8_t>& out, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
    };
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        be32(bytes, static_cast<uint32_t>(data.size()));
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        bytes.insert(bytes.end(), body.begin(), body.end());
        be32(bytes, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
    };
    std::vector<uint8_t> header;
    be32(header, width);
    be32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    chunk("IHDR", header);
    chunk("IDAT", {0x78, 0x9c});  // the data never comes: only the header is read
    chunk("IEND", {});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(WriggletSim, OversizedBackgroundsAreRefusedBeforeDecoding) {
    const fs::path dir = TempDir("huge");
    struct Case {
        uint32_t width, height;
    };
    for (const Case c : {Case{999295, 1000000}, Case{20000, 20000}, Case{8193, 1}, Case{1, 8193}}) {
        WritePngHeader(dir / "huge.png", c.width, c.height);
        const SimRun run = RunSim("--size 64x48 --background " + (dir / "huge.png").string(), dir);
        EXPECT_EQ(run.ExitCode, 1) << c.width << "x" << c.height;
        EXPECT_NE(run.Stderr.find("is " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                                  ", larger than 8192x8192"),
                  std::string::npos)
            << run.Stderr;
    }
    fs::remove_all(dir);
}

TEST(FontRasteriser, ClipsAWordWiderThanTheSurfaceOnBothSides) {
    text::FontRasteriser text;
    FontRequest font = TextFontRequest(400);
    font.Width *= 4;  // far wider than the surface
    ASSERT_TRUE(text.BeginSurface(400, 300, font));
    const std::optional<int32_t> width = text.MeasureWord("Everything");
    ASSERT_TRUE(width.has_value()) << "some font is always found: " << text.FontFile();
    ASSERT_GT(*width, 400);
    text.DrawWord("Everything", (400 - *width) / 2, 100);
    const TextMask mask = text.ReadMask();
    int32_t leftLit = 0, rightLit = 0, outsideRows = 0;
    for (int32_t y = 0; y < 300; ++y) {
        leftLit += mask.Red(0, y) > 128 || mask.Red(1, y) > 128 || mask.Red(2, y) > 128;
        rightLit += mask.Red(397, y) > 128 || mask.Red(398, y) > 128 || mask.Red(399, y) > 128;
        for (int32_t x = 0; x < 400; ++x) outsideRows += (y < 100 || y >= 100 + font.Height) && mask.Red(x, y) > 0;
    }
    EXPECT_GT(leftLit, 0);
    EXPECT_GT(rightLit, 0);
    EXPECT_EQ(outsideRows, 0) << "glyphs stay inside their cell's rows";
    text.EndSurface();
}

TEST(FontRasteriser, WordsScaleWithTheRequestedWidth) {
    text::FontRasteriser text;
    ASSERT_TRUE(text.BeginSurface(1024, 768, TextFontRequest(1024)));
    const int32_t normal = text.MeasureWord("Beautiful").value_or(0);
    FontRequest narrow = TextFontRequest(1024);
    narrow.Width /= 2;
    ASSERT_TRUE(text.BeginSurface(1024, 768, narrow));
    const int32_t half = text.MeasureWord("Beautiful").value_or(0);
    EXPECT_NEAR(half * 2, normal, normal / 10);
    EXPECT_GT(normal, 9 * 73 / 2) << "nine characters of about 73 pixels";
}

}  // namespace
}  // namespace wrigglet::sim
