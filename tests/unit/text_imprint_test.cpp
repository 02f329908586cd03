#include "core/text_imprint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "core/scene_setup.h"

namespace wrigglet {
namespace {

// Draws each word as a solid block `Widths[word]` wide and the font's height tall, in the
// red value `Ink`, clipped to the surface; records every call.
struct FakeRasteriser : TextRasteriser {
    std::map<std::string, int32_t> Widths;  // missing: the measurement fails
    uint8_t Ink = 255;
    bool SurfaceFails = false;
    FontRequest Font;
    int32_t Width = 0, Height = 0;
    std::vector<uint8_t> Red;
    std::vector<std::tuple<std::string, int32_t, int32_t>> Drawn;
    int Ended = 0;

    std::vector<std::pair<int32_t, int32_t>> Surfaces;
    int Measured = 0;

    bool BeginSurface(int32_t width, int32_t height, const FontRequest& font) override {
        if (SurfaceFails) return false;
        Width = width, Height = height, Font = font;
        Surfaces.emplace_back(width, height);
        Red.assign(static_cast<size_t>(width) * height, 0);
        return true;
    }
    std::optional<int32_t> MeasureWord(std::string_view word) override {
        ++Measured;
        auto it = Widths.find(std::string(word));
        if (it == Widths.end()) return std::nullopt;
        return it->second;
    }
    void DrawWord(std::string_view word, int32_t x, int32_t y) override {
        Drawn.emplace_back(std::string(word), x, y);
        const int32_t width = Widths.count(std::string(word)) ? Widths[std::string(word)] : 10;
        for (int32_t row = std::max(y, 0); row < std::min(y + Font.Height, Height); ++row)
            for (int32_t col = std::max(x, 0); col < std::min(x + width, Width); ++col)
                Red[static_cast<size_t>(row) * Width + col] = Ink;
    }
    TextMask ReadMask() override { return {Red.data(), 1, Width}; }
    void EndSurface() override { ++Ended; }
};

// A scene of the given size whose field is tiled noise (text off during set-up).
SceneState NoiseScene(int32_t width, int32_t height) {
    SceneState scene;
    scene.Generator.TimeOfDay = FixedTimeOfDay(31);
    SaverSettings settings;
    CreateScene(scene, settings, width, height, nullptr, nullptr);
    return scene;
}

TEST(ImprintText, RequestsTheFontAndCentresTheThreeWords) {
    SceneState scene = NoiseScene(1024, 768);
    FakeRasteriser text;
    text.Widths = {{"Everything", 700}, {"Beautiful", 601}, {"Dies", 300}};
    ImprintText(scene, text);
    FontRequest expected;
    expected.Height = 170;
    expected.Width = 73;
    expected.FaceName = "Black Chancery";
    EXPECT_EQ(text.Font, expected);
    EXPECT_EQ(text.Font.Weight, 700);
    EXPECT_TRUE(text.Font.Italic);
    EXPECT_EQ(text.Font.CharSet, 1);
    EXPECT_EQ(text.Font.Quality, 2);
    using Call = std::tuple<std::string, int32_t, int32_t>;
    // Rows 96, 288 and 480 of the scene, cells 170 high; only the rows from 96 to 480 + 170
    // are rasterised, in strips of 256 rows from 96, 352 and 608, each with the words that
    // reach into it, at rows relative to its top.
    EXPECT_EQ(text.Drawn, (std::vector<Call>{{"Everything", 162, 0},
                                             {"Beautiful", 211, 192},
                                             {"Beautiful", 211, 288 - 352},
                                             {"Dies", 362, 480 - 352},
                                             {"Dies", 362, 480 - 608}}));
    EXPECT_EQ(text.Surfaces, (std::vector<std::pair<int32_t, int32_t>>{{1024, 256}, {1024, 256}, {1024, 42}}));
    EXPECT_EQ(text.Measured, 3);
    EXPECT_EQ(text.Ended, 3);
}

TEST(ImprintText, StripsRaiseTheSameCellsAsOneSurfaceWould) {
    // The words drawn as blocks, whatever the strips: every cell of a word's block is raised
    // exactly once.
    SceneState scene = NoiseScene(1024, 768);
    const FieldGrid before = scene.Field;
    FakeRasteriser text;
    text.Widths = {{"Everything", 700}, {"Beautiful", 601}, {"Dies", 300}};
    ImprintText(scene, text);
    struct Block {
        int32_t left, width, top;
    };
    const Block blocks[] = {{162, 700, 96}, {211, 601, 288}, {362, 300, 480}};
    for (int32_t y = 0; y < 768; ++y) {
        for (int32_t x = 0; x < 1024; ++x) {
            const bool lit = std::any_of(std::begin(blocks), std::end(blocks), [&](const Block& b) {
                return x >= b.left && x < b.left + b.width && y >= b.top && y < b.top + 170;
            });
            ASSERT_EQ(scene.Field.At(x, y) - before.At(x, y), lit ? 256 : 0) << x << "," << y;
        }
    }
}

TEST(ImprintText, TheBandSpansTheWordsCellsWithinTheScene) {
    struct Case {
        int32_t width, height;
        TextBand band;
    };
    const Case cases[] = {
        {1024, 768, {96, 650}}, {7680, 4320, {540, 3980}}, {152, 112, {14, 95}},
        {600, 100, {12, 100}},  {5, 40, {0, 40}},          {6, 1, {0, 1}},
        {1, 1, {0, 1}},
    };
    for (const Case& c : cases) EXPECT_EQ(TextBandFor(c.width, c.height), c.band) << c.width << "x" << c.height;
}

TEST(ImprintText, AFailedMeasurementKeepsThePreviousColumn) {
    SceneState scene = NoiseScene(1000, 600);
    FakeRasteriser text;
    text.Widths = {{"Beautiful", 400}};
    ImprintText(scene, text);
    using Call = std::tuple<std::string, int32_t, int32_t>;
    // Strips from rows 75 and 331; the second strip reuses the columns of the first.
    EXPECT_EQ(
        text.Drawn,
        (std::vector<Call>{
            {"Everything", 0, 0}, {"Beautiful", 300, 150}, {"Beautiful", 300, 225 - 331}, {"Dies", 300, 375 - 331}}));
    EXPECT_EQ(text.Measured, 3);
}

TEST(ImprintText, AWordWiderThanTheSceneStartsLeftOfItTruncatingTowardZero) {
    SceneState scene = NoiseScene(101, 80);
    FakeRasteriser text;
    text.Widths = {{"Everything", 300}, {"Beautiful", 101}, {"Dies", 102}};
    ImprintText(scene, text);
    EXPECT_EQ(std::get<1>(text.Drawn[0]), -99);  // (101 - 300) div 2
    EXPECT_EQ(std::get<1>(text.Drawn[1]), 0);
    EXPECT_EQ(std::get<1>(text.Drawn[2]), 0);  // -1 div 2
}

TEST(ImprintText, RaisesExactlyTheCellsAboveRed128AndTheOutsideColumnAndRow) {
    for (uint8_t ink : {uint8_t{128}, uint8_t{129}, uint8_t{255}, uint8_t{0}}) {
        SceneState scene = NoiseScene(120, 90);
        const FieldGrid before = scene.Field;
        FakeRasteriser text;
        text.Ink = ink;
        text.Widths = {{"Everything", 500}, {"Beautiful", 40}, {"Dies", 20}};
        ImprintText(scene, text);
        const int32_t top = TextBandFor(120, 90).Top;
        for (int32_t y = 0; y < scene.Field.Height; ++y) {
            for (int32_t x = 0; x < scene.Field.Width; ++x) {
                int32_t raise = 0;
                const bool inBand = y >= top && y < top + text.Height;
                if (x == 120 || y == 90)
                    raise = (x <= 120 && y <= 90) ? 256 : 0;
                else if (x < 120 && inBand && text.Red[static_cast<size_t>(y - top) * 120 + x] > 128)
                    raise = 256;
                ASSERT_EQ(scene.Field.At(x, y), before.At(x, y) + raise) << x << "," << y << " ink " << int(ink);
            }
        }
        const bool lit = ink > 128;
        EXPECT_EQ(scene.Field.At(0, 90 / 8) - before.At(0, 90 / 8), lit ? 256 : 0) << "the clipped word's left edge";
        EXPECT_EQ(scene.Field.At(119, 90 / 8) - before.At(119, 90 / 8), lit ? 256 : 0) << "and its right edge";
    }
}

TEST(ImprintText, ReadsTheMaskThroughItsStrides) {
    // A bottom-up BGRA surface, as GDI may hand it back: red at byte 2, rows reversed.
    struct DibRasteriser : FakeRasteriser {
        std::vector<uint8_t> Bgra;
        TextMask ReadMask() override {
            Bgra.assign(Red.size() * 4, 0);
            for (int32_t y = 0; y < Height; ++y)
                for (int32_t x = 0; x < Width; ++x)
                    Bgra[(static_cast<size_t>(Height - 1 - y) * Width + x) * 4 + 2] =
                        Red[static_cast<size_t>(y) * Width + x];
            return {Bgra.data() + static_cast<ptrdiff_t>(Height - 1) * Width * 4 + 2, 4,
                    -static_cast<ptrdiff_t>(Width) * 4};
        }
    };
    SceneState viaDib = NoiseScene(64, 48), viaBytes = NoiseScene(64, 48);
    DibRasteriser dib;
    FakeRasteriser bytes;
    dib.Widths = bytes.Widths = {{"Everything", 30}, {"Beautiful", 50}, {"Dies", 10}};
    ImprintText(viaDib, dib);
    ImprintText(viaBytes, bytes);
    EXPECT_EQ(viaDib.Field.Cells, viaBytes.Field.Cells);
}

TEST(ImprintText, NothingChangesWithoutASurfaceOrForAnEmptyScene) {
    SceneState scene = NoiseScene(80, 60);
    const std::vector<FieldCell> before = scene.Field.Cells;
    FakeRasteriser failing;
    failing.SurfaceFails = true;
    ImprintText(scene, failing);
    EXPECT_EQ(scene.Field.Cells, before);
    SceneState empty = NoiseScene(0, 60);
    FakeRasteriser text;
    ImprintText(empty, text);
    EXPECT_TRUE(text.Drawn.empty());
}

TEST(ImprintText, SceneSetupImprintsOnlyWithTextOn) {
    for (bool on : {false, true}) {
        SceneState scene;
        scene.Generator.TimeOfDay = FixedTimeOfDay(31);
        SaverSettings settings;
        settings.Text = on;
        FakeRasteriser text;
        text.Widths = {{"Everything", 60}, {"Beautiful", 50}, {"Dies", 20}};
        CreateScene(scene, settings, 120, 90, nullptr, &text);
        EXPECT_EQ(text.Drawn.size(), on ? 3u : 0u);
        EXPECT_EQ(scene.Field.At(120, 0) >= 256, on);
        EXPECT_EQ(scene.Field.At(5, 5) <= 255, true) << "outside the words";
    }
}

}  // namespace
}  // namespace wrigglet
