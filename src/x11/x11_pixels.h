// Between X images and the scene's pixels (0x00RRGGBB, a 32-bit top-down row per line).
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

#include "core/frame.h"

namespace wrigglet::x11 {

// True when the image's own memory already holds the scene's pixel layout: 32 bits per
// pixel in this machine's byte order, red, green and blue in bytes 2, 1 and 0, rows unpadded.
bool IsSceneLayout(const XImage& image);

// Reads a width x height block of the image from (x, y) into `pixels` (rows of `stride`).
void ReadImagePixels(XImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels,
                     size_t stride);

// Writes `rect` of the scene's pixels (rows of `stride`) into the same place of the image.
void WriteImagePixels(XImage& image, PixelRect rect, const uint32_t* pixels, size_t stride);

}  // namespace wrigglet::x11
