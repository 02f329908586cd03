// The frame the scene draws into: a 32-bit picture laid out like a 32-bpp top-down DIB
// section, a read-only background of the same layout (the snapshot), and a record of what
// the current tick touched so the platform layer copies only that to the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/colour.h"
#include "core/pixel_rect.h"

namespace wrigglet {

// Touched pixels are recorded per tile of DamageTileSize x DamageTileSize pixels, one byte
// each, so recording a write costs one store whatever the population.
inline constexpr int32_t DamageTileShift = 4;
inline constexpr int32_t DamageTileSize = 1 << DamageTileShift;

struct FrameDamage {
    int32_t Width = 0;  // the pixels the tiles cover
    int32_t Height = 0;
    int32_t TilesAcross = 0;
    int32_t TilesDown = 0;
    std::vector<uint8_t> Tiles;  // row-major, 1 = touched since the last reset
};

// Pixels and Background each hold Height rows of Width pixels, Stride pixels apart, from the
// top row, value 0x00RRGGBB (blue in the lowest byte): exactly the bits of a top-down 32-bpp
// DIB section, or a part of one (a monitor's scene inside the whole virtual screen's picture).
// Both buffers belong to the caller and must outlive the frame's use. A null Background is
// a black one.
struct Frame {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Stride = 0;
    uint32_t* Pixels = nullptr;
    const uint32_t* Background = nullptr;
    FrameDamage Damage;
};

// Covers width x height pixels with tiles, none of them touched.
void SizeDamage(FrameDamage& damage, int32_t width, int32_t height);

// Marks every tile `rect` reaches into (the part of it over the covered pixels).
void TouchRect(FrameDamage& damage, const PixelRect& rect);

// Forgets what was touched.
void ResetTouched(FrameDamage& damage);

// Exactly the touched tiles (clipped to the covered pixels), as few rectangles as runs of
// tiles allow: a run of touched tiles in a tile row, carried down while the rows below have
// the same run. Empty when nothing was touched.
std::vector<PixelRect> TouchedTiles(const FrameDamage& damage);

// Points the frame at the caller's buffers and clears the touched record. A stride of 0
// means rows of exactly `width` pixels.
void AttachFrame(Frame& frame, int32_t width, int32_t height, uint32_t* pixels, const uint32_t* background,
                 int32_t stride = 0);

// The frame's touched record forgotten, and read: after each tick the session sends the
// touched tiles to the host, then forgets them.
inline void ResetTouched(Frame& frame) { ResetTouched(frame.Damage); }
inline std::vector<PixelRect> TouchedTiles(const Frame& frame) { return TouchedTiles(frame.Damage); }

// Draws one pixel given as a COLORREF (the palette flag is ignored). Positions outside
// 0..Width-1 x 0..Height-1 are dropped, as a window's clipping drops them.
inline void SetFramePixel(Frame& frame, int32_t x, int32_t y, ColorRef color) {
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(frame.Width) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(frame.Height))
        return;
    frame.Pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.Stride) + static_cast<size_t>(x)] =
        ColorRefToPixel(color);
    FrameDamage& damage = frame.Damage;
    damage.Tiles[static_cast<size_t>(y >> DamageTileShift) * static_cast<size_t>(damage.TilesAcross) +
                 static_cast<size_t>(x >> DamageTileShift)] = 1;
}

// Reads the background pixel as a COLORREF; outside the frame it yields InvalidColor,
// whose drawing at the same position is then dropped.
inline ColorRef GetBackgroundPixel(const Frame& frame, int32_t x, int32_t y) {
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(frame.Width) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(frame.Height))
        return InvalidColor;
    if (!frame.Background) return PixelToColorRef(0);
    return PixelToColorRef(
        frame.Background[static_cast<size_t>(y) * static_cast<size_t>(frame.Stride) + static_cast<size_t>(x)]);
}

}  // namespace wrigglet
