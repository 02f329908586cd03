// The text imprint: the three words rasterised white on black over the band of rows they
// occupy, strip by strip, and every field cell under a lit pixel raised by 256 into the
// paler half of the palette.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/scene_state.h"
#include "core/stop_request.h"

namespace wrigglet {

// A logical font as the platform's font mapper takes it (CreateFontA's parameters).
struct FontRequest {
    int32_t Height = 0;  // character cell height in pixels
    int32_t Width = 0;   // average character width in pixels
    int32_t Escapement = 0;
    int32_t Orientation = 0;
    int32_t Weight = 700;
    bool Italic = true;
    bool Underline = false;
    bool StrikeOut = false;
    uint8_t CharSet = 1;  // the platform's default character set
    uint8_t OutPrecision = 0;
    uint8_t ClipPrecision = 0;
    uint8_t Quality = 2;  // proof quality
    uint8_t PitchAndFamily = 0;
    std::string_view FaceName;
    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

inline constexpr std::string_view TextFaceName = "Black Chancery";

// Height SceneWidth div 6 and width SceneWidth div 14: the words scale with the width.
FontRequest TextFontRequest(int32_t sceneWidth);

struct TextLine {
    std::string_view Word;
    int32_t Row;  // top of the text's cell
};

// "Everything", "Beautiful", "Dies" at rows H div 8, 3H div 8, 5H div 8.
std::array<TextLine, 3> TextLines(int32_t sceneHeight);

// The rows the words' cells cover, Top inclusive, Bottom exclusive, within the scene: from
// the first word's row to the last word's row plus the cell height. Only these rows are
// rasterised, so the surface costs a fraction of a screen-sized one.
struct TextBand {
    int32_t Top = 0;
    int32_t Bottom = 0;
    friend bool operator==(const TextBand&, const TextBand&) = default;
};
TextBand TextBandFor(int32_t sceneWidth, int32_t sceneHeight);

// The band is rasterised in strips of at most this many rows, each on a surface of its
// own, so the surface never costs more than a few megabytes whatever the screen.
inline constexpr int32_t TextStripRows = 256;

// Read access to the surface's red bytes: pixel (x, y) has its red byte at
// Data[y * RowStride + x * PixelStride]. A GDI layer can point straight into the bits of
// a 32-bpp DIB (PixelStride 4, Data at byte 2, RowStride negative for a bottom-up one).
struct TextMask {
    const uint8_t* Data = nullptr;
    ptrdiff_t PixelStride = 1;
    ptrdiff_t RowStride = 0;

    uint8_t Red(int32_t x, int32_t y) const { return Data[y * RowStride + x * PixelStride]; }
};

// The platform's text rendering, used once per scene creation in this order:
// per strip of the band BeginSurface (scene width x strip height), then (on the first
// strip, per word) MeasureWord and DrawWord of the words reaching into the strip (rows
// relative to the strip's top), then ReadMask, then EndSurface.
class TextRasteriser {
public:
    virtual ~TextRasteriser() = default;
    // Makes a width x height surface filled black and selects the requested font with
    // white text on an opaque black background. False when the surface can't be made.
    virtual bool BeginSurface(int32_t width, int32_t height, const FontRequest& font) = 0;
    // The word's width in pixels with the selected font, or nothing when measuring fails.
    virtual std::optional<int32_t> MeasureWord(std::string_view word) = 0;
    // Draws the word with its cell's top-left corner at (x, y); parts outside the surface
    // are clipped (x may be negative).
    virtual void DrawWord(std::string_view word, int32_t x, int32_t y) = 0;
    // The surface's red bytes, valid until EndSurface.
    virtual TextMask ReadMask() = 0;
    virtual void EndSurface() = 0;
};

// Raises field cells under the text by 256: cells (x, y) with x < SceneWidth and
// y < SceneHeight whose red byte exceeds 128, and every cell of column SceneWidth and row
// SceneHeight, which lie outside the surface and read as the all-ones invalid colour.
// Does nothing for an empty scene or when the surface can't be made. `stop` is asked before
// each strip; false when it ended the imprint part way.
bool ImprintText(SceneState& scene, TextRasteriser& rasteriser, const StopRequest& stop = {});

}  // namespace wrigglet
