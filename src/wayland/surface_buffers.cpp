// wl_shm buffers in memfd memory, and their damage bookkeeping.
#include "wayland/surface_buffers.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "core/frame.h"

namespace wrigglet::wayland {

struct ShmBuffer {
    wl_buffer* Buffer = nullptr;
    uint32_t* Pixels = nullptr;
    size_t Bytes = 0;
    bool Busy = false;  // the compositor may still read it
    // The tiles where the buffer differs from the picture: the scene's own damage tiles,
    // so a tick's touched tiles map one to one.
    FrameDamage Stale;
    std::function<void()>* Released = nullptr;

    ~ShmBuffer() {
        if (Buffer) wl_buffer_destroy(Buffer);
        if (Pixels) munmap(Pixels, Bytes);
    }
};

namespace {

void OnRelease(void* data, wl_buffer*) {
    ShmBuffer& buffer = *static_cast<ShmBuffer*>(data);
    buffer.Busy = false;
    if (*buffer.Released) (*buffer.Released)();
}

const wl_buffer_listener BufferListener{OnRelease};

// A buffer of width x height XRGB8888 pixels, the scene's own 0x00RRGGBB layout.
std::unique_ptr<ShmBuffer> MakeBuffer(wl_shm* shm, int32_t width, int32_t height) {
    auto buffer = std::make_unique<ShmBuffer>();
    const size_t stride = static_cast<size_t>(width) * 4;
    buffer->Bytes = stride * static_cast<size_t>(height);
    const int fd = memfd_create("wrigglet-wayland", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return nullptr;
    if (ftruncate(fd, static_cast<off_t>(buffer->Bytes)) != 0) {
        close(fd);
        return nullptr;
    }
    void* memory = mmap(nullptr, buffer->Bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    buffer->Pixels = static_cast<uint32_t*>(memory);
    // The compositor can't be made to fault by a shrinking file.
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_SEAL);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(buffer->Bytes));
    buffer->Buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, static_cast<int32_t>(stride), WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);  // the buffer keeps the memory
    close(fd);
    return buffer;
}

}  // namespace

SurfaceBuffers::SurfaceBuffers(wl_shm* shm, std::function<void()> released)
    : shm_(shm), released_(std::move(released)) {}

SurfaceBuffers::~SurfaceBuffers() = default;

void SurfaceBuffers::Resize(int32_t width, int32_t height) {
    buffers_.clear();
    damage_.clear();
    width_ = width;
    height_ = height;
}

void SurfaceBuffers::Damage(const std::vector<PixelRect>& rects) {
    const PixelRect whole{0, 0, width_, height_};
    std::vector<PixelRect> clipped;
    clipped.reserve(rects.size());
    for (const PixelRect& r : rects)
        if (const PixelRect c = ClipRect(r, whole); !IsEmptyRect(c)) clipped.push_back(c);
    if (clipped.empty()) return;
    damage_.insert(damage_.end(), clipped.begin(), clipped.end());
    for (auto& buffer : buffers_)
        for (const PixelRect& r : clipped) TouchRect(buffer->Stale, r);
}

ShmBuffer* SurfaceBuffers::FreeBuffer() {
    for (auto& buffer : buffers_)
        if (!buffer->Busy) return buffer.get();
    if (buffers_.size() >= MaxSurfaceBuffers || width_ <= 0 || height_ <= 0) return nullptr;
    std::unique_ptr<ShmBuffer> made = MakeBuffer(shm_, width_, height_);
    if (!made || !made->Buffer) return nullptr;
    SizeDamage(made->Stale, width_, height_);
    TouchRect(made->Stale, {0, 0, width_, height_});
    made->Released = &released_;
    wl_buffer_add_listener(made->Buffer, &BufferListener, made.get());
    buffers_.push_back(std::move(made));
    return buffers_.back().get();
}

void SurfaceBuffers::CopyStale(ShmBuffer& buffer, const uint32_t* picture) {
    for (const PixelRect& r : TouchedTiles(buffer.Stale)) CopyRect(picture, buffer.Pixels, width_, r);
    ResetTouched(buffer.Stale);
}

bool SurfaceBuffers::Attach(wl_surface* surface, const uint32_t* picture) {
    ShmBuffer* buffer = FreeBuffer();
    if (!buffer) return false;
    CopyStale(*buffer, picture);
    buffer->Busy = true;
    wl_surface_attach(surface, buffer->Buffer, 0, 0);
    if (damage_.size() > MaxDamageRects) damage_ = RectBands(std::move(damage_), MaxDamageRects);
    for (const PixelRect& r : damage_) wl_surface_damage_buffer(surface, r.Left, r.Top, RectWidth(r), RectHeight(r));
    damage_.clear();
    return true;
}

}  // namespace wrigglet::wayland
