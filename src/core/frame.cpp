// The frame's touched-area bookkeeping: a grid of tiles over the pixels.
#include "core/frame.h"

#include <algorithm>

namespace wrigglet {

void SizeDamage(FrameDamage& damage, int32_t width, int32_t height) {
    damage.Width = std::max(width, 0);
    damage.Height = std::max(height, 0);
    damage.TilesAcross = (damage.Width + DamageTileSize - 1) >> DamageTileShift;
    damage.TilesDown = (damage.Height + DamageTileSize - 1) >> DamageTileShift;
    damage.Tiles.assign(static_cast<size_t>(damage.TilesAcross) * static_cast<size_t>(damage.TilesDown), 0);
}

void TouchRect(FrameDamage& damage, const PixelRect& rect) {
    const PixelRect r = ClipRect(rect, {0, 0, damage.Width, damage.Height});
    if (IsEmptyRect(r)) return;
    const int32_t first = r.Left >> DamageTileShift, last = (r.Right - 1) >> DamageTileShift;
    for (int32_t row = r.Top >> DamageTileShift; row <= (r.Bottom - 1) >> DamageTileShift; ++row)
        std::fill_n(damage.Tiles.begin() + row * damage.TilesAcross + first, last - first + 1, uint8_t{1});
}

void ResetTouched(FrameDamage& damage) { std::fill(damage.Tiles.begin(), damage.Tiles.end(), uint8_t{0}); }

void AttachFrame(Frame& frame, int32_t width, int32_t height, uint32_t* pixels, const uint32_t* background,
                 int32_t stride) {
    frame.Width = std::max(width, 0);
    frame.Height = std::max(height, 0);
    frame.Stride = std::max(stride, frame.Width);
    frame.Pixels = pixels;
    frame.Background = background;
    SizeDamage(frame.Damage, frame.Width, frame.Height);
}

namespace {

PixelRect TileSpan(const FrameDamage& damage, int32_t left, int32_t right, int32_t top, int32_t bottom) {
    return {left << DamageTileShift, top << DamageTileShift, std::min(right << DamageTileShift, damage.Width),
            std::min(bottom << DamageTileShift, damage.Height)};
}

}  // namespace

// Runs of touched tiles in each tile row; a run continues a rectangle of the row above
// when it spans the same tile columns.
std::vector<PixelRect> TouchedTiles(const FrameDamage& damage) {
    std::vector<PixelRect> rects;
    std::vector<size_t> previousRow, currentRow;
    for (int32_t row = 0; row < damage.TilesDown; ++row) {
        const uint8_t* tiles = damage.Tiles.data() + static_cast<size_t>(row) * damage.TilesAcross;
        currentRow.clear();
        for (int32_t column = 0; column < damage.TilesAcross;) {
            if (!tiles[column]) {
                ++column;
                continue;
            }
            int32_t end = column;
            while (end < damage.TilesAcross && tiles[end]) ++end;
            const PixelRect run = TileSpan(damage, column, end, row, row + 1);
            auto above = std::find_if(previousRow.begin(), previousRow.end(), [&](size_t i) {
                return rects[i].Left == run.Left && rects[i].Right == run.Right;
            });
            if (above != previousRow.end()) {
                rects[*above].Bottom = run.Bottom;
                currentRow.push_back(*above);
            } else {
                currentRow.push_back(rects.size());
                rects.push_back(run);
            }
            column = end;
        }
        std::swap(previousRow, currentRow);
    }
    return rects;
}

}  // namespace wrigglet
