// The two animated duties: the preview inside the host's window and the full-screen saver,
// each a saver window with its scenes and a message loop.
#pragma once

#include <windows.h>

#include "saver/command_line.h"
#include "core/saver_settings.h"

namespace wrigglet {

// The preview duty: the window inside the command's parent, until it is destroyed or the
// parent goes.
void RunPreview(const SaverCommand& command, const SaverSettings& settings, bool isNTPlatform);

// The full-screen duty: the topmost window until the user ends it; afterwards the window
// that was in the foreground before comes back.
void RunFullScreen(const SaverCommand& command, const SaverSettings& settings, bool isNTPlatform);

}  // namespace wrigglet
