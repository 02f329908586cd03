// The trail field's storage.
#include "core/field_grid.h"

#include <algorithm>

namespace wrigglet {

bool ResetFieldGrid(FieldGrid& grid, int32_t width, int32_t height, const StopRequest& stop) {
    ReleaseFieldGrid(grid);
    const size_t columns = static_cast<size_t>(std::max(width, 0));
    const size_t rows = static_cast<size_t>(std::max(height, 0));
    grid.Cells.reserve(columns * rows);
    for (size_t x = 0; x < columns; ++x) {
        if (StopDue(stop)) {
            ReleaseFieldGrid(grid);
            return false;
        }
        grid.Cells.resize(grid.Cells.size() + rows);
    }
    grid.Width = static_cast<int32_t>(columns);
    grid.Height = static_cast<int32_t>(rows);
    return true;
}

void ReleaseFieldGrid(FieldGrid& grid) {
    grid.Cells.clear();
    grid.Cells.shrink_to_fit();
    grid.Width = 0;
    grid.Height = 0;
}

}  // namespace wrigglet
