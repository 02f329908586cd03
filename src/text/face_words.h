// The words drawn with one FreeType face, as every program draws them (the native ones over
// the face fontconfig matched, the page over the font built into it): the face sized so its
// character cell is the requested height and its average character the requested width,
// slanted or emboldened where the face lacks what the request asks, each glyph rendered
// anti-aliased into an 8-bit white-on-black surface.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/text_imprint.h"

namespace wrigglet::text {

// What the face lacks of the request, made up while drawing.
struct Synthesis {
    bool Bold = false;
    bool Slant = false;
};

class FaceWords {
public:
    // A blank width x height surface; the words are drawn with `face` (not owned; none:
    // the surface stays blank), sized for `font`.
    void Begin(FT_Face face, int32_t width, int32_t height, const FontRequest& font, Synthesis synthesis);
    // The word's width in pixels, or nothing without a face or a glyph.
    std::optional<int32_t> Measure(std::string_view word) const;
    // Draws the word with its cell's top-left corner at (x, y), clipped to the surface.
    void Draw(std::string_view word, int32_t x, int32_t y);
    TextMask Mask() const { return {surface_.data(), 1, width_}; }
    // Forgets the face (the surface stays until the next Begin).
    void End() { face_ = nullptr; }

private:
    FT_Face face_ = nullptr;
    FT_Pos boldStrength_ = 0;  // 26.6
    int32_t ascent_ = 0;       // pixels from the cell's top to the baseline
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> surface_;  // one byte per pixel: the red (= every) channel
};

}  // namespace wrigglet::text
