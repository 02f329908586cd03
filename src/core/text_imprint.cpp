// The text imprint's logic over the platform's rasterised words.
#include "core/text_imprint.h"

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

void DrawWords(const SceneState& scene, TextRasteriser& rasteriser) {
    int32_t x = 0;  // a failed measurement keeps the previous word's column
    for (const TextLine& line : TextLines(scene.SceneHeight)) {
        if (const std::optional<int32_t> width = rasteriser.MeasureWord(line.Word)) x = (scene.SceneWidth - *width) / 2;
        rasteriser.DrawWord(line.Word, x, line.Row);
    }
}

void RaiseLitCells(SceneState& scene, const TextMask& mask) {
    const int32_t width = scene.SceneWidth;
    const int32_t height = scene.SceneHeight;
    for (int32_t x = 0; x < width; ++x) {
        FieldCell* cells = scene.Field.Column(x);
        for (int32_t y = 0; y < height; ++y)
            if (mask.Red(x, y) > LitAbove) cells[y] += TextRaise;
        cells[height] += TextRaise;
    }
    FieldCell* lastColumn = scene.Field.Column(width);
    for (int32_t y = 0; y <= height; ++y) lastColumn[y] += TextRaise;
}

}  // namespace

void ImprintText(SceneState& scene, TextRasteriser& rasteriser) {
    if (scene.SceneWidth <= 0 || scene.SceneHeight <= 0 || scene.Field.Cells.empty()) return;
    if (!rasteriser.BeginSurface(scene.SceneWidth, scene.SceneHeight, TextFontRequest(scene.SceneWidth))) return;
    DrawWords(scene, rasteriser);
    RaiseLitCells(scene, rasteriser.ReadMask());
    rasteriser.EndSurface();
}

}  // namespace wrigglet
