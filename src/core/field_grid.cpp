// The trail field's storage.
#include "core/field_grid.h"

#include <algorithm>

namespace wrigglet {

void ResetFieldGrid(FieldGrid& grid, int32_t width, int32_t height) {
    grid.Width = std::max(width, 0);
    grid.Height = std::max(height, 0);
    grid.Cells.assign(static_cast<size_t>(grid.Width) * static_cast<size_t>(grid.Height), 0);
}

void ReleaseFieldGrid(FieldGrid& grid) {
    grid.Cells.clear();
    grid.Cells.shrink_to_fit();
    grid.Width = 0;
    grid.Height = 0;
}

}  // namespace wrigglet
