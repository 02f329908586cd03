// The wait, over ppoll: its signal mask is set and restored with the wait itself, so a stop
// signal blocked elsewhere can end the wait and nothing else.
#include "posix/descriptor_wait.h"

#include <algorithm>
#include <chrono>

namespace wrigglet::posix {

int WaitForDescriptors(std::span<pollfd> descriptors, std::optional<TickTime> deadline, const sigset_t* waitMask) {
    timespec timeout{};
    if (deadline) {
        const auto left = std::max(std::chrono::nanoseconds::zero(),
                                   std::chrono::nanoseconds(*deadline - std::chrono::steady_clock::now()));
        timeout.tv_sec = static_cast<time_t>(left.count() / 1000000000);
        timeout.tv_nsec = static_cast<long>(left.count() % 1000000000);
    }
    return ppoll(descriptors.data(), descriptors.size(), deadline ? &timeout : nullptr, waitMask);
}

}  // namespace wrigglet::posix
