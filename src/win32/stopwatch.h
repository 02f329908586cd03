// Adds the wall time of a scope, in microseconds, to a counter of the tests' readout; given
// no counter it costs nothing, so a saver without the readout never reads the clock.
#pragma once

#include <windows.h>

#include <cstdint>

namespace wrigglet {

class Stopwatch {
public:
    explicit Stopwatch(uintptr_t* total) : total_(total) {
        if (total_) QueryPerformanceCounter(&start_);
    }
    ~Stopwatch() {
        LARGE_INTEGER end, frequency;
        if (!total_ || !QueryPerformanceCounter(&end) || !QueryPerformanceFrequency(&frequency)) return;
        *total_ += static_cast<uintptr_t>((end.QuadPart - start_.QuadPart) * 1000000 / frequency.QuadPart);
    }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

private:
    uintptr_t* total_;
    LARGE_INTEGER start_{};
};

}  // namespace wrigglet
