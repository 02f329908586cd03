// Unpacking a mouse-move message's position.
#include "saver/mouse_message.h"

#include <algorithm>
#include <limits>

namespace wrigglet {
namespace {

// A coordinate moved by the client origin, held within 32 bits however odd the origin.
std::int32_t OnScreen(std::uint32_t client, std::int32_t origin) {
    const std::int64_t screen = std::int64_t{client} + origin;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(screen, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

ScreenPoint MouseMessagePoint(std::uint32_t lParam, ScreenPoint clientOrigin) {
    return {OnScreen(lParam & 0xFFFFu, clientOrigin.x), OnScreen((lParam >> 16) & 0xFFFFu, clientOrigin.y)};
}

}  // namespace wrigglet
