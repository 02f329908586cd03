// The trail field: one cell per scene position, each an index into the scene's trail
// palette (0..255 from the noise, 256..511 under the imprinted text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/stop_request.h"

namespace wrigglet {

// Column-major: cell (x, y) is Cells[x * Height + y]. The step reads cells (x + k, y + k)
// and (x + k, y + 1 + k) for each tail, which then share a cache line; the tiling copies
// whole columns.
// Cells are 16-bit: every value the scene keeps is 0..511, and half the bytes means half
// the fresh pages a scene's set-up has to fault in (a 4K scene's grid is 17 MB, not 33).
using FieldCell = int16_t;

struct FieldGrid {
    int32_t Width = 0;   // columns 0..Width-1
    int32_t Height = 0;  // rows 0..Height-1
    std::vector<FieldCell> Cells;

    FieldCell& At(int32_t x, int32_t y) { return Cells[Index(x, y)]; }
    FieldCell At(int32_t x, int32_t y) const { return Cells[Index(x, y)]; }
    FieldCell* Column(int32_t x) { return Cells.data() + static_cast<size_t>(x) * static_cast<size_t>(Height); }
    const FieldCell* Column(int32_t x) const {
        return Cells.data() + static_cast<size_t>(x) * static_cast<size_t>(Height);
    }
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(x) * static_cast<size_t>(Height) + static_cast<size_t>(y);
    }
};

// Makes the grid exactly width x height (negative sizes count as 0), every cell 0. A huge
// grid takes a while to fault in, so it is made column by column, asking `stop` before each;
// when a stop comes the grid is left empty and the answer is false.
bool ResetFieldGrid(FieldGrid& grid, int32_t width, int32_t height, const StopRequest& stop = {});

// Frees the cells (safe to call again).
void ReleaseFieldGrid(FieldGrid& grid);

}  // namespace wrigglet
