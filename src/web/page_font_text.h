// The page's words: FreeType over the font built into the module (the native programs' face
// on the machines the page is tested on, cut down to the letters of the three words), drawn
// by the same code as the native programs' words, so the page's frames equal the simulator's.
#pragma once

#include <cstdint>

#include "core/text_imprint.h"
#include "text/face_words.h"

namespace wrigglet::web {

class PageFontText final : public TextRasteriser {
public:
    ~PageFontText() override;

    bool BeginSurface(int32_t width, int32_t height, const FontRequest& font) override;
    std::optional<int32_t> MeasureWord(std::string_view word) override { return words_.Measure(word); }
    void DrawWord(std::string_view word, int32_t x, int32_t y) override { words_.Draw(word, x, y); }
    TextMask ReadMask() override { return words_.Mask(); }
    void EndSurface() override;

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    text::FaceWords words_;
};

}  // namespace wrigglet::web
