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

// At most `count` horizontal bands of equal tile height, each the span of its touched tiles.
std::vector<PixelRect> TileBands(const Frame& frame, size_t count) {
    const FrameDamage& damage = frame.Damage;
    const int32_t rowsPerBand = static_cast<int32_t>((damage.TilesDown + count - 1) / count);
    std::vector<PixelRect> rects;
    for (int32_t top = 0; top < damage.TilesDown; top += rowsPerBand) {
        const int32_t bottom = std::min(top + rowsPerBand, damage.TilesDown);
        int32_t left = damage.TilesAcross, right = 0;
        for (int32_t row = top; row < bottom; ++row) {
            const uint8_t* tiles = damage.Tiles.data() + static_cast<size_t>(row) * damage.TilesAcross;
            for (int32_t column = 0; column < damage.TilesAcross; ++column) {
                if (!tiles[column]) continue;
                left = std::min(left, column);
                right = std::max(right, column + 1);
            }
        }
        if (left < right) rects.push_back(TileSpan(frame, left, right, top, bottom));
    }
    return rects;
}

}  // namespace

std::vector<PixelRect> TouchedTiles(const Frame& frame) { return TileRuns(frame); }

std::vector<PixelRect> TouchedRects(const Frame& frame, size_t maxRects) {
    const std::vector<uint8_t>& tiles = frame.Damage.Tiles;
    if (std::find(tiles.begin(), tiles.end(), uint8_t{1}) == tiles.end()) return {};
    if (maxRects <= 1) return TileBands(frame, 1);
    std::vector<PixelRect> rects = TileRuns(frame);
    if (rects.size() <= maxRects) return rects;
    return TileBands(frame, maxRects);
}

}  // namespace wrigglet
