// The scene's state: the wrigglets, the colour tables, the trail field and the random
// generator, in one plain struct per scene so two scenes never share anything.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/colour.h"
#include "core/field_grid.h"
#include "core/random.h"
#include "core/saver_settings.h"

namespace wrigglet {

inline constexpr int32_t WriggletSlots = 512;
inline constexpr int32_t MaxLength = 64;
inline constexpr int32_t StartLength = 5;
// Trail groups 1..7 read cells up to 7 columns right of and 8 rows below the scene
// (x + k, y + 1 + k), so the field covers those too.
inline constexpr int32_t FieldMarginColumns = 7;
inline constexpr int32_t FieldMarginRows = 8;

struct ScenePoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const ScenePoint&, const ScenePoint&) = default;
};

// One wrigglet. The body segments live in a ring so that a move shifts nothing: segment j
// (1..Length, 1 next to the head) is at ring position (FirstSegment + j - 1) mod 64; use
// Segment/SetSegment rather than the arrays.
struct WriggletRecord {
    int32_t HeadX = 0;
    int32_t HeadY = 0;
    int32_t TailX = 0;  // the position the body left at its latest move
    int32_t TailY = 0;
    std::array<int32_t, MaxLength> SegmentX{};
    std::array<int32_t, MaxLength> SegmentY{};
    int32_t Length = 0;     // segments in use, 5..64
    uint8_t Direction = 0;  // heading 1..8, clockwise from up-left
    uint8_t FirstSegment = 0;
};

inline size_t SegmentSlot(const WriggletRecord& w, int32_t j) {
    return static_cast<size_t>((w.FirstSegment + j - 1) & (MaxLength - 1));
}
inline ScenePoint Segment(const WriggletRecord& w, int32_t j) {
    const size_t slot = SegmentSlot(w, j);
    return {w.SegmentX[slot], w.SegmentY[slot]};
}
inline void SetSegment(WriggletRecord& w, int32_t j, ScenePoint p) {
    const size_t slot = SegmentSlot(w, j);
    w.SegmentX[slot] = p.X;
    w.SegmentY[slot] = p.Y;
}

struct SceneState {
    int32_t SceneWidth = 0;  // positions run over 0..SceneWidth, one beyond the visible area
    int32_t SceneHeight = 0;
    int32_t CentreX = 0;
    int32_t CentreY = 0;
    int32_t TileWidth = 0;
    int32_t TileHeight = 0;
    std::vector<WriggletRecord> WriggletList;  // slot i (1..MaxCount) is WriggletList[i - 1]
    int32_t MaxCount = 0;
    int32_t ActiveCount = 0;
    std::array<RgbEntry, 256> RampTable{};
    std::array<RgbEntry, 512> TrailPalette{};
    // Cells (x, y) for x = 0..SceneWidth + 7, y = 0..SceneHeight + 8 (and at least the
    // noise tile plus its far column and row); empty for an empty scene.
    FieldGrid Field;
    RandomGenerator Generator;
    SaverSettings Settings;
};

}  // namespace wrigglet
