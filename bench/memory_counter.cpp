// Counts the heap bytes in use and their peak, so benchmarks can report memory figures.
#include "memory_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> inUse{0};
std::atomic<size_t> peak{0};
}  // namespace

namespace wrigglet::bench {

void ResetPeakBytes() { peak = inUse.load(); }
size_t PeakBytes() { return peak.load(); }
size_t BytesInUse() { return inUse.load(); }

}  // namespace wrigglet::bench

void* operator new(size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    const size_t now = inUse += malloc_usable_size(block);
    size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {}
    return block;
}

void operator delete(void* block) noexcept {
    if (!block) return;
    inUse -= malloc_usable_size(block);
    std::free(block);
}

void operator delete(void* block, size_t) noexcept { operator delete(block); }
