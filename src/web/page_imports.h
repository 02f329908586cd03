// What the web front end asks of the page's JavaScript (the hooks the page hands the module
// as `Module.page`): showing the picture on the canvas, drawing the desktop picture, the
// canvas text of the words, and the sounds.
#pragma once

#include <cstdint>
#include <string_view>

namespace wrigglet::web {

// The canvas shows `rgba`, width x height pixels of R, G, B, A bytes in this module's
// memory, from now on; null when there is no picture.
void ShowPictureBuffer(const uint8_t* rgba, int32_t width, int32_t height);

// Puts this rectangle of the picture buffer on the canvas.
void PutPictureRect(int32_t x, int32_t y, int32_t width, int32_t height);

// Draws the desktop picture over width x height pixels as R, G, B, A bytes at `rgba`.
void DrawDesktopPicture(uint8_t* rgba, int32_t width, int32_t height);

// The words' surface: width x height pixels, black, with the font the request describes
// (cell height, average character width, weight, italic, face) and white text. False when
// it can't be made.
bool BeginTextSurface(int32_t width, int32_t height, int32_t cellHeight, int32_t averageWidth, int32_t weight,
                      bool italic, std::string_view face);
// The word's width in pixels, or a negative number when it can't be measured.
double MeasureTextWord(std::string_view word);
// Draws the word with its cell's top-left corner at (x, y).
void DrawTextWord(std::string_view word, int32_t x, int32_t y);
// Copies the surface as R, G, B, A bytes to `rgba` (width x height pixels).
void ReadTextSurface(uint8_t* rgba);
void EndTextSurface();

// Starts sound `resource` (701..703) looping, replacing the one playing.
void PlaySoundLooping(int32_t resource);

}  // namespace wrigglet::web
