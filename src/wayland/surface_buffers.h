// The wl_shm buffers a surface shows, and the damage each still lacks. The picture lives in
// the program's memory; a buffer the compositor gave back is brought up to date with it by
// copying only the rectangles that changed since that buffer was last drawn.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/pixel_rect.h"

namespace wrigglet::wayland {

// Two would do if the compositor always gave one back in time; a third covers one that
// holds both for a frame.
inline constexpr size_t MaxSurfaceBuffers = 3;
// A tick's damage longer than this is sent as this many bands that hold it.
inline constexpr size_t MaxDamageRects = 256;

struct ShmBuffer;

class SurfaceBuffers {
public:
    // `released`: a buffer came back from the compositor.
    SurfaceBuffers(wl_shm* shm, std::function<void()> released);
    ~SurfaceBuffers();
    SurfaceBuffers(const SurfaceBuffers&) = delete;
    SurfaceBuffers& operator=(const SurfaceBuffers&) = delete;

    // A new size: the buffers are made again, on demand.
    void Resize(int32_t width, int32_t height);
    // These rectangles of the picture changed.
    void Damage(const std::vector<PixelRect>& rects);
    bool HasDamage() const { return !damage_.empty(); }
    // Brings a free buffer up to date with `picture` (rows of the size's width), attaches it
    // to `surface` and damages what changed since the last attach. False when every buffer
    // is still the compositor's (or none can be made): the damage waits.
    bool Attach(wl_surface* surface, const uint32_t* picture);

private:
    ShmBuffer* FreeBuffer();
    void CopyStale(ShmBuffer& buffer, const uint32_t* picture);

    wl_shm* shm_;
    std::function<void()> released_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<std::unique_ptr<ShmBuffer>> buffers_;
    std::vector<PixelRect> damage_;  // since the last attach
};

}  // namespace wrigglet::wayland
