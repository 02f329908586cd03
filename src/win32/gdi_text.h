// The three words rasterised by GDI into a 32-bit top-down DIB section of the words' band,
// whose bits the imprint then reads in place: no copy, no read-back call to fail.
#pragma once

#include <windows.h>

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
    HDC surface_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    const uint32_t* bits_ = nullptr;
};

}  // namespace wrigglet
