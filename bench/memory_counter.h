// Heap bytes in use and their peak, counted by the benchmark binary's operator new.
#pragma once

#include <cstddef>

namespace wrigglet::bench {

void ResetPeakBytes();  // the peak restarts from what is in use now
size_t PeakBytes();
size_t BytesInUse();

}  // namespace wrigglet::bench
