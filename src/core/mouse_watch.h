// The mouse-move rule that ends the saver: moves count from where the cursor stood when
// the watch started, and the first move after that is ignored.
#pragma once

#include <cstdint>

namespace wrigglet {

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct MouseWatch {
    ScreenPoint MouseOrigin;     // cursor position when the watch (re)started
    bool MouseMoveSeen = false;  // false until the first move since then
};

// A move must leave the origin by more than this, in either axis, to end the saver.
inline constexpr std::int64_t MouseMoveSlack = 4;

// Starts watching afresh from `cursor`; the next move is ignored.
void RecordMouseOrigin(MouseWatch& watch, ScreenPoint cursor);

// Applies one move of the pointer to `position`, in the same (screen) coordinates as the
// origin. True when the move asks for the saver to close.
bool MouseMoveAsksToClose(MouseWatch& watch, ScreenPoint position);

}  // namespace wrigglet
