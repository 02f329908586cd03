// Colour values of the scene: GDI-style COLORREFs (red in the low byte) as the drawing
// logic uses them, and their conversion to and from the 32-bit frame's 0x00RRGGBB pixels.
#pragma once

#include <cstdint>

namespace wrigglet {

using ColorRef = uint32_t;  // red | green << 8 | blue << 16, optionally with PaletteFlag

// Set in the palette-relative form; it selects a palette entry on the platform and carries
// no colour, so a 32-bit frame ignores it.
inline constexpr ColorRef PaletteFlag = 0x2000000u;

// What the platform answers for a pixel read outside a bitmap; drawing it has no effect
// because such a read only happens for positions outside the frame.
inline constexpr ColorRef InvalidColor = 0xFFFFFFFFu;

struct RgbEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    friend bool operator==(const RgbEntry&, const RgbEntry&) = default;
};

constexpr ColorRef MakeRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return ColorRef{red} | ColorRef{green} << 8 | ColorRef{blue} << 16;
}

constexpr ColorRef MakeRgb(RgbEntry entry) { return MakeRgb(entry.Red, entry.Green, entry.Blue); }

constexpr ColorRef MakePaletteRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return MakeRgb(red, green, blue) | PaletteFlag;
}

// COLORREF -> frame pixel 0x00RRGGBB (blue in the lowest byte, as in a 32-bpp DIB).
constexpr uint32_t ColorRefToPixel(ColorRef color) {
    return (color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu);
}

// Frame pixel 0x00RRGGBB -> plain COLORREF (the unused top byte is ignored).
constexpr ColorRef PixelToColorRef(uint32_t pixel) {
    return (pixel >> 16 & 0xFFu) | (pixel & 0xFF00u) | (pixel & 0xFFu) << 16;
}

}  // namespace wrigglet
