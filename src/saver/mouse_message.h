// What a Windows mouse-move message carries: the pointer's position in the window's client
// area, x in the low and y in the high 16 bits of its lParam, each unsigned.
#pragma once

#include <cstdint>

#include "core/mouse_watch.h"

namespace wrigglet {

// The message's position on the screen, for a window whose client area starts at
// `clientOrigin` there.
ScreenPoint MouseMessagePoint(std::uint32_t lParam, ScreenPoint clientOrigin);

}  // namespace wrigglet
