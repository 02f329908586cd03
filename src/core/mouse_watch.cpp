// The mouse-move rule that ends the saver.
#include "core/mouse_watch.h"

namespace wrigglet {
namespace {

// Distances in 64 bits so that no origin, however odd, can overflow the subtraction.
std::int64_t Distance(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

void RecordMouseOrigin(MouseWatch& watch, ScreenPoint cursor) {
    watch.MouseMoveSeen = false;
    watch.MouseOrigin = cursor;
}

bool MouseMoveAsksToClose(MouseWatch& watch, ScreenPoint position) {
    // The platform sends a move when the window appears under the cursor; that one
    // (or whatever comes first) says nothing about the user.
    if (!watch.MouseMoveSeen) {
        watch.MouseMoveSeen = true;
        return false;
    }
    return Distance(position.x, watch.MouseOrigin.x) > MouseMoveSlack ||
           Distance(position.y, watch.MouseOrigin.y) > MouseMoveSlack;
}

}  // namespace wrigglet
