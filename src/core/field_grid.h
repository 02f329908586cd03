// The trail field: one signed 32-bit cell per scene position, each an index into the
// scene's trail palette (0..255 from the noise, 256..511 under the imprinted text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wrigglet {

// Row-major: cell (x, y) is Cells[y * Width + x]. Rows suit the noise generator's row
// blends, the tiling (whole-row copies) and the text mask, which all run along rows.
struct FieldGrid {
    int32_t Width = 0;   // columns 0..Width-1
    int32_t Height = 0;  // rows 0..Height-1
    std::vector<int32_t> Cells;

    int32_t& At(int32_t x, int32_t y) { return Cells[Index(x, y)]; }
    int32_t At(int32_t x, int32_t y) const { return Cells[Index(x, y)]; }
    int32_t* Row(int32_t y) { return Cells.data() + static_cast<size_t>(y) * static_cast<size_t>(Width); }
    const int32_t* Row(int32_t y) const {
        return Cells.data() + static_cast<size_t>(y) * static_cast<size_t>(Width);
    }
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x);
    }
};

// Makes the grid exactly width x height (negative sizes count as 0), every cell 0.
void ResetFieldGrid(FieldGrid& grid, int32_t width, int32_t height);

// Frees the cells (safe to call again).
void ReleaseFieldGrid(FieldGrid& grid);

}  // namespace wrigglet
