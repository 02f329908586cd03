// Pixel conversion for visuals whose layout differs from the scene's, and the check that
// lets the common 24-bit TrueColor visual skip it.
#include "x11/x11_pixels.h"

#include <bit>
#include <cstring>

namespace wrigglet::x11 {

namespace {

int NativeByteOrder() { return std::endian::native == std::endian::little ? LSBFirst : MSBFirst; }

// Moves an 8-bit channel to or from the mask's position, scaled to the mask's width.
uint32_t ChannelFromMask(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long top = mask >> shift;
    return static_cast<uint32_t>(((pixel & mask) >> shift) * 255 / top);
}

unsigned long ChannelToMask(uint32_t channel, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long top = mask >> shift;
    return ((channel * top + 127) / 255) << shift;
}

}  // namespace

bool IsSceneLayout(const XImage& image) {
    return image.bits_per_pixel == 32 && image.byte_order == NativeByteOrder() && image.red_mask == 0xFF0000 &&
           image.green_mask == 0xFF00 && image.blue_mask == 0xFF && image.bytes_per_line == image.width * 4;
}

void ReadImagePixels(XImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels,
                     size_t stride) {
    const bool direct = image.bits_per_pixel == 32 && image.byte_order == NativeByteOrder() &&
                        image.red_mask == 0xFF0000 && image.green_mask == 0xFF00 && image.blue_mask == 0xFF;
    for (int32_t row = 0; row < height; ++row) {
        uint32_t* out = pixels + static_cast<size_t>(row) * stride;
        if (direct) {
            const char* in = image.data + static_cast<size_t>(y + row) * static_cast<size_t>(image.bytes_per_line) +
                             static_cast<size_t>(x) * 4;
            std::memcpy(out, in, static_cast<size_t>(width) * 4);
            for (int32_t column = 0; column < width; ++column) out[column] &= 0xFFFFFF;
            continue;
        }
        for (int32_t column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(&image, x + column, y + row);
            out[column] = ChannelFromMask(pixel, image.red_mask) << 16 | ChannelFromMask(pixel, image.green_mask) << 8 |
                          ChannelFromMask(pixel, image.blue_mask);
        }
    }
}

void WriteImagePixels(XImage& image, PixelRect rect, const uint32_t* pixels, size_t stride) {
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        const uint32_t* in = pixels + static_cast<size_t>(y) * stride;
        for (int32_t x = rect.Left; x < rect.Right; ++x) {
            const uint32_t pixel = in[x];
            XPutPixel(&image, x, y,
                      ChannelToMask(pixel >> 16 & 0xFF, image.red_mask) |
                          ChannelToMask(pixel >> 8 & 0xFF, image.green_mask) |
                          ChannelToMask(pixel & 0xFF, image.blue_mask));
        }
    }
}

}  // namespace wrigglet::x11
