// The words' rasteriser of the page: the browser's canvas text, read back as RGBA bytes
// whose red byte the core's imprint tests.
#pragma once

#include <cstdint>
#include <vector>

#include "core/text_imprint.h"

namespace wrigglet::web {

class CanvasText final : public TextRasteriser {
public:
    bool BeginSurface(int32_t width, int32_t height, const FontRequest& font) override;
    std::optional<int32_t> MeasureWord(std::string_view word) override;
    void DrawWord(std::string_view word, int32_t x, int32_t y) override;
    TextMask ReadMask() override;
    void EndSurface() override;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> mask_;
};

}  // namespace wrigglet::web
