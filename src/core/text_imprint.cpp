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

void DrawWords(const SceneState& scene, TextRasteriser& rasteriser, int32_t bandTop) {
    int32_t x = 0;  // a failed measurement keeps the previous word's column
    for (const TextLine& line : TextLines(scene.SceneHeight)) {
        if (const std::optional<int32_t> width = rasteriser.MeasureWord(line.Word)) x = (scene.SceneWidth - *width) / 2;
        rasteriser.DrawWord(line.Word, x, line.Row - bandTop);
    }
}

void RaiseLitCells(SceneState& scene, const TextMask& mask, TextBand band) {
    const int32_t width = scene.SceneWidth;
    const int32_t height = scene.SceneHeight;
    for (int32_t x = 0; x < width; ++x) {
        FieldCell* cells = scene.Field.Column(x);
        for (int32_t y = band.Top; y < band.Bottom; ++y)
            if (mask.Red(x, y - band.Top) > LitAbove) cells[y] += TextRaise;
        cells[height] += TextRaise;
    }
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

void ImprintText(SceneState& scene, TextRasteriser& rasteriser) {
    if (scene.SceneWidth <= 0 || scene.SceneHeight <= 0 || scene.Field.Cells.empty()) return;
    const TextBand band = TextBandFor(scene.SceneWidth, scene.SceneHeight);
    if (!rasteriser.BeginSurface(scene.SceneWidth, std::max(band.Bottom - band.Top, 1), TextFontRequest(scene.SceneWidth)))
        return;
    DrawWords(scene, rasteriser, band.Top);
    RaiseLitCells(scene, rasteriser.ReadMask(), band);
    rasteriser.EndSurface();
}

}  // namespace wrigglet
