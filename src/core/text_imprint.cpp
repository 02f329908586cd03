// The text imprint's logic over the platform's rasterised words.
#include "core/text_imprint.h"

#include <algorithm>

namespace wrigglet {

FontRequest TextFontRequest(int32_t sceneWidth) {
    FontRequest font;
    font.Height = sceneWidth / 6;
    font.Width = sceneWidth / 14;
    font.FaceName = TextFaceName;
    return font;
}

std::array<TextLine, 3> TextLines(int32_t sceneHeight) {
    return {{{"Everything", sceneHeight / 8}, {"Beautiful", 3 * sceneHeight / 8}, {"Dies", 5 * sceneHeight / 8}}};
}

namespace {

constexpr FieldCell TextRaise = 256;
constexpr uint8_t LitAbove = 128;

// Draws the words whose cells reach into the strip, at rows relative to its top. The first
// strip measures every word (in order, between the draws) and keeps their columns.
void DrawWords(const SceneState& scene, TextRasteriser& rasteriser, TextBand strip, int32_t cellHeight,
               std::optional<std::array<int32_t, 3>>& columns) {
    const bool measure = !columns;
    if (measure) columns.emplace();
    int32_t x = 0;  // a failed measurement keeps the previous word's column
    const std::array<TextLine, 3> lines = TextLines(scene.SceneHeight);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (measure) {
            if (const std::optional<int32_t> width = rasteriser.MeasureWord(lines[i].Word))
                x = (scene.SceneWidth - *width) / 2;
            (*columns)[i] = x;
        }
        const bool reaches = cellHeight <= 0 || (lines[i].Row < strip.Bottom && lines[i].Row + cellHeight > strip.Top);
        if (reaches) rasteriser.DrawWord(lines[i].Word, (*columns)[i], lines[i].Row - strip.Top);
    }
}

void RaiseLitCells(SceneState& scene, const TextMask& mask, TextBand strip) {
    for (int32_t x = 0; x < scene.SceneWidth; ++x) {
        FieldCell* cells = scene.Field.Column(x);
        for (int32_t y = strip.Top; y < strip.Bottom; ++y)
            if (mask.Red(x, y - strip.Top) > LitAbove) cells[y] += TextRaise;
    }
}

// Column SceneWidth and row SceneHeight lie outside the surface and read as the all-ones
// invalid colour: always raised.
void RaiseEdges(SceneState& scene) {
    const int32_t width = scene.SceneWidth;
    const int32_t height = scene.SceneHeight;
    for (int32_t x = 0; x < width; ++x) scene.Field.Column(x)[height] += TextRaise;
    FieldCell* lastColumn = scene.Field.Column(width);
    for (int32_t y = 0; y <= height; ++y) lastColumn[y] += TextRaise;
}

}  // namespace

TextBand TextBandFor(int32_t sceneWidth, int32_t sceneHeight) {
    const int32_t cellHeight = TextFontRequest(sceneWidth).Height;
    // A zero height asks the font mapper for its default size, whose cell is unknown here.
    if (cellHeight <= 0) return {0, sceneHeight};
    const std::array<TextLine, 3> lines = TextLines(sceneHeight);
    const int32_t top = std::clamp(lines.front().Row, 0, sceneHeight);
    return {top, std::clamp(lines.back().Row + cellHeight, top, sceneHeight)};
}

bool ImprintText(SceneState& scene, TextRasteriser& rasteriser, const StopRequest& stop) {
    if (scene.SceneWidth <= 0 || scene.SceneHeight <= 0 || scene.Field.Cells.empty()) return true;
    const FontRequest font = TextFontRequest(scene.SceneWidth);
    const TextBand band = TextBandFor(scene.SceneWidth, scene.SceneHeight);
    std::optional<std::array<int32_t, 3>> columns;
    for (int32_t top = band.Top; top < band.Bottom; top += TextStripRows) {
        if (StopDue(stop)) return false;
        const TextBand strip{top, std::min(top + TextStripRows, band.Bottom)};
        if (!rasteriser.BeginSurface(scene.SceneWidth, strip.Bottom - strip.Top, font)) {
            if (!columns) return true;  // no surface at all: no imprint
            break;
        }
        DrawWords(scene, rasteriser, strip, font.Height, columns);
        RaiseLitCells(scene, rasteriser.ReadMask(), strip);
        rasteriser.EndSurface();
    }
    RaiseEdges(scene);
    return true;
}

}  // namespace wrigglet
