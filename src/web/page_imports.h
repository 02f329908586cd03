// What the web front end asks of the page's JavaScript (the hooks the page hands the module
// as `Module.page`): showing the picture on the canvas, drawing the desktop picture, and
// the sounds.
#pragma once

#include <cstdint>

namespace wrigglet::web {

// The canvas shows `rgba`, width x height pixels of R, G, B, A bytes in this module's
// memory, from now on; null when there is no picture.
void ShowPictureBuffer(const uint8_t* rgba, int32_t width, int32_t height);

// Puts this rectangle of the picture buffer on the canvas.
void PutPictureRect(int32_t x, int32_t y, int32_t width, int32_t height);

// Draws the desktop picture over width x height pixels as R, G, B, A bytes at `rgba`.
void DrawDesktopPicture(uint8_t* rgba, int32_t width, int32_t height);

// Starts sound `resource` (701..703) looping, replacing the one playing.
void PlaySoundLooping(int32_t resource);

}  // namespace wrigglet::web
