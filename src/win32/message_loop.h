// The saver's message loop, which also looks after the saver a few times a second when
// nothing arrives: a preview whose host vanished, a scene timer that could not be made.
#pragma once

#include <windows.h>

#include <functional>

namespace wrigglet {

inline constexpr DWORD WatchIntervalMs = 250;

// Dispatches the thread's messages until WM_QUIT, or until `watch`, called at most every
// WatchIntervalMs whether messages come or not, answers false.
void RunWatchedMessageLoop(const std::function<bool()>& watch);

}  // namespace wrigglet
