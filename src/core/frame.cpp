// The frame's touched-area bookkeeping.
#include "core/frame.h"

#include <algorithm>

namespace wrigglet {

void AttachFrame(Frame& frame, int32_t width, int32_t height, uint32_t* pixels, const uint32_t* background,
                 int32_t stride) {
    frame.Width = std::max(width, 0);
    frame.Height = std::max(height, 0);
    frame.Stride = std::max(stride, frame.Width);
    frame.Pixels = pixels;
    frame.Background = background;
    FrameDamage& damage = frame.Damage;
    damage.TilesAcross = (frame.Width + DamageTileSize - 1) >> DamageTileShift;
    damage.TilesDown = (frame.Height + DamageTileSize - 1) >> DamageTileShift;
    damage.Tiles.assign(static_cast<size_t>(damage.TilesAcross) * static_cast<size_t>(damage.TilesDown), 0);
}

void ResetTouched(Frame& frame) { std::fill(frame.Damage.Tiles.begin(), frame.Damage.Tiles.end(), uint8_t{0}); }

namespace {

PixelRect TileSpan(const Frame& frame, int32_t left, int32_t right, int32_t top, int32_t bottom) {
    return {left << DamageTileShift, top << DamageTileShift, std::min(right << DamageTileShift, frame.Width),
            std::min(bottom << DamageTileShift, frame.Height)};
}

// Runs of touched tiles in each tile row; a run continues a rectangle of the row above
// when it spans the same tile columns.
std::vector<PixelRect> TileRuns(const Frame& frame) {
    const FrameDamage& damage = frame.Damage;
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
            const PixelRect run = TileSpan(frame, column, end, row, row + 1);
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

}  // namespace

std::vector<PixelRect> TouchedTiles(const Frame& frame) { return TileRuns(frame); }

}  // namespace wrigglet
