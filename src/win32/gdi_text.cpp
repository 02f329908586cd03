// The text surface with GDI. Every object made here is deleted in EndSurface.
#include "win32/gdi_text.h"

#include <string>

namespace wrigglet {

bool GdiTextRasteriser::BeginSurface(int32_t width, int32_t height, const FontRequest& font) {
    EndSurface();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row y is at y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // A fresh DIB section is zero-filled: already black.
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    surface_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !surface_ || !bits) {
        EndSurface();
        return false;
    }
    bits_ = static_cast<const uint32_t*>(bits);
    width_ = width;
    height_ = height;
    previousBitmap_ = SelectObject(surface_, bitmap_);

    const std::string face(font.FaceName);
    font_ = CreateFontA(font.Height, font.Width, font.Escapement, font.Orientation, font.Weight, font.Italic,
                        font.Underline, font.StrikeOut, font.CharSet, font.OutPrecision, font.ClipPrecision,
                        font.Quality, font.PitchAndFamily, face.c_str());
    previousFont_ = SelectObject(surface_, font_);
    SetBkColor(surface_, RGB(0, 0, 0));
    SetTextColor(surface_, RGB(255, 255, 255));
    return true;
}

std::optional<int32_t> GdiTextRasteriser::MeasureWord(std::string_view word) {
    SIZE extent{};
    if (!GetTextExtentPoint32A(surface_, word.data(), static_cast<int>(word.size()), &extent)) return std::nullopt;
    return extent.cx;
}

void GdiTextRasteriser::DrawWord(std::string_view word, int32_t x, int32_t y) {
    TextOutA(surface_, x, y, word.data(), static_cast<int>(word.size()));
}

TextMask GdiTextRasteriser::ReadMask() {
    ReleaseFont();
    GdiFlush();  // the drawing must be in the bits before they are read
    // Each pixel is blue, green, red, unused in memory: red is byte 2.
    const auto* bytes = reinterpret_cast<const uint8_t*>(bits_);
    return TextMask{bytes + 2, 4, static_cast<ptrdiff_t>(width_) * 4};
}

void GdiTextRasteriser::ReleaseFont() {
    if (!font_) return;
    SelectObject(surface_, previousFont_);
    DeleteObject(font_);
    font_ = nullptr;
    previousFont_ = nullptr;
}

void GdiTextRasteriser::EndSurface() {
    ReleaseFont();
    if (surface_ && previousBitmap_) SelectObject(surface_, previousBitmap_);
    previousBitmap_ = nullptr;
    if (surface_) DeleteDC(surface_);
    if (bitmap_) DeleteObject(bitmap_);
    surface_ = nullptr;
    bitmap_ = nullptr;
    bits_ = nullptr;
}

}  // namespace wrigglet
