// The three words rasterised by GDI: a screen-compatible memory bitmap the size of the
// scene, the requested font, and one read-back of the whole surface.
#pragma once

#include <windows.h>

#include <vector>

#include "core/text_imprint.h"

namespace wrigglet {

class GdiTextRasteriser final : public TextRasteriser {
public:
    ~GdiTextRasteriser() override { EndSurface(); }

    bool BeginSurface(int32_t width, int32_t height, const FontRequest& font) override;
    std::optional<int32_t> MeasureWord(std::string_view word) override;
    void DrawWord(std::string_view word, int32_t x, int32_t y) override;
    TextMask ReadMask() override;
    void EndSurface() override;

private:
    void ReleaseFont();

    int32_t width_ = 0;
    int32_t height_ = 0;
    HDC screen_ = nullptr;
    HDC surface_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    std::vector<uint32_t> pixels_;
};

}  // namespace wrigglet
