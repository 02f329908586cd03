// Canvas text for the imprint: the page draws, the module reads the surface back once a strip.
#include "web/canvas_text.h"

#include <algorithm>
#include <cmath>

#include "web/page_imports.h"

namespace wrigglet::web {

bool CanvasText::BeginSurface(int32_t width, int32_t height, const FontRequest& font) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    return BeginTextSurface(width_, height_, font.Height, font.Width, font.Weight, font.Italic, font.FaceName);
}

std::optional<int32_t> CanvasText::MeasureWord(std::string_view word) {
    const double width = MeasureTextWord(word);
    if (!(width >= 0)) return std::nullopt;
    return static_cast<int32_t>(std::lround(width));
}

void CanvasText::DrawWord(std::string_view word, int32_t x, int32_t y) { DrawTextWord(word, x, y); }

TextMask CanvasText::ReadMask() {
    mask_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4, 0);
    if (!mask_.empty()) ReadTextSurface(mask_.data());
    return {mask_.data(), 4, static_cast<ptrdiff_t>(width_) * 4};
}

void CanvasText::EndSurface() {
    EndTextSurface();
    std::vector<uint8_t>().swap(mask_);
}

}  // namespace wrigglet::web
