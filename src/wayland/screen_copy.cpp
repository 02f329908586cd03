// One frame per output, from capture_output to ready or failed. Each copy goes into memfd
// memory of the size and format the compositor asked for, shared through a wl_shm pool.
// The copies' objects live on an event queue of their own, dispatched here with a deadline.
#include "wayland/screen_copy.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>

#include "posix/descriptor_wait.h"
#include "wayland/screen_pixels.h"

namespace wrigglet::wayland {

namespace {

// How often a wait looks for a stop request.
constexpr std::chrono::milliseconds StopWatch{50};

struct FrameCopy {
    zwlr_screencopy_frame_v1* Frame = nullptr;
    wl_shm* Shm = nullptr;  // on the copies' queue
    ScreenFrame Layout;
    bool Offered = false;  // the compositor offered a wl_shm buffer
    wl_buffer* Buffer = nullptr;
    uint8_t* Memory = nullptr;
    size_t Bytes = 0;
    bool Finished = false;
    std::optional<image::PixelPicture> Picture;

    ~FrameCopy() {
        if (Frame) zwlr_screencopy_frame_v1_destroy(Frame);
        if (Buffer) wl_buffer_destroy(Buffer);
        if (Memory) munmap(Memory, Bytes);
    }
};

FrameCopy& Of(void* data) { return *static_cast<FrameCopy*>(data); }

bool MakeBuffer(FrameCopy& copy) {
    const ScreenFrame& f = copy.Layout;
    if (f.Width <= 0 || f.Height <= 0 || f.Stride / 4 < f.Width) return false;
    const size_t bytes = static_cast<size_t>(f.Stride) * static_cast<size_t>(f.Height);
    if (bytes > INT32_MAX) return false;  // a pool's size is an int
    const int fd = memfd_create("wrigglet-wayland-copy", MFD_CLOEXEC);
    if (fd < 0) return false;
    void* memory =
        ftruncate(fd, static_cast<off_t>(bytes)) == 0 ? mmap(nullptr, bytes, PROT_READ, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (memory != MAP_FAILED) {
        copy.Memory = static_cast<uint8_t*>(memory);
        copy.Bytes = bytes;
        wl_shm_pool* pool = wl_shm_create_pool(copy.Shm, fd, static_cast<int32_t>(bytes));
        copy.Buffer = wl_shm_pool_create_buffer(pool, 0, f.Width, f.Height, f.Stride, f.Format);
        wl_shm_pool_destroy(pool);
    }
    close(fd);
    return copy.Buffer != nullptr;
}

// Asks for the copy once the buffers are known; a frame with nothing the program can read
// is given up.
void Copy(FrameCopy& copy) {
    if (copy.Buffer || copy.Finished) return;
    if (copy.Offered && ReadableFormat(copy.Layout.Format) && MakeBuffer(copy))
        zwlr_screencopy_frame_v1_copy(copy.Frame, copy.Buffer);
    else
        copy.Finished = true;
}

int32_t Side(uint32_t pixels) { return pixels > INT32_MAX ? 0 : static_cast<int32_t>(pixels); }

void OnBuffer(void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width, uint32_t height,
              uint32_t stride) {
    FrameCopy& copy = Of(data);
    copy.Layout.Format = format;
    copy.Layout.Width = Side(width);
    copy.Layout.Height = Side(height);
    copy.Layout.Stride = Side(stride);
    copy.Offered = true;
    // Before version 3 this is the only buffer offered, and no buffer_done follows.
    if (zwlr_screencopy_frame_v1_get_version(frame) < 3) Copy(copy);
}

void OnFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
    Of(data).Layout.YInvert = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
}

void OnReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
    FrameCopy& copy = Of(data);
    if (copy.Memory) copy.Picture = ScreenPicture(copy.Layout, copy.Memory);
    copy.Finished = true;
}

void OnFailed(void* data, zwlr_screencopy_frame_v1*) { Of(data).Finished = true; }

void OnDamage(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {}

void OnDmabuf(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {}

void OnBufferDone(void* data, zwlr_screencopy_frame_v1*) { Copy(Of(data)); }

const zwlr_screencopy_frame_v1_listener FrameListener{OnBuffer, OnFlags,  OnReady,     OnFailed,
                                                      OnDamage, OnDmabuf, OnBufferDone};

// Dispatches the copies' queue until all are finished, the deadline passes, a stop request
// comes (looked for at least every StopWatch) or the connection fails (the program's loop
// finds that out for itself).
void WaitForCopies(wl_display* display, wl_event_queue* queue, const std::vector<std::unique_ptr<FrameCopy>>& copies,
                   TickTime deadline, const StopRequest& stop) {
    const auto finished = [&copies] {
        return std::all_of(copies.begin(), copies.end(), [](const auto& copy) { return copy->Finished; });
    };
    for (;;) {
        if (wl_display_dispatch_queue_pending(display, queue) < 0 || finished() || StopDue(stop)) return;
        if (wl_display_prepare_read_queue(display, queue) != 0) continue;
        pollfd connection{wl_display_get_fd(display), POLLIN, 0};
        if (wl_display_flush(display) < 0 && errno == EAGAIN) connection.events |= POLLOUT;
        const TickTime now = std::chrono::steady_clock::now();
        if (now >= deadline ||
            posix::WaitForDescriptors({&connection, 1}, std::min(deadline, now + StopWatch), nullptr) <= 0 ||
            !(connection.revents & (POLLIN | POLLERR | POLLHUP))) {
            wl_display_cancel_read(display);
            if (std::chrono::steady_clock::now() >= deadline) return;
            continue;
        }
        if (wl_display_read_events(display) < 0) return;
    }
}

template <typename Proxy>
Proxy* OnQueue(Proxy* proxy, wl_event_queue* queue) {
    auto* wrapper = static_cast<Proxy*>(wl_proxy_create_wrapper(proxy));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    return wrapper;
}

}  // namespace

std::vector<std::optional<image::PixelPicture>> CopyOutputs(wl_display* display, wl_shm* shm,
                                                            zwlr_screencopy_manager_v1* manager,
                                                            const std::vector<CopiedOutput>& outputs,
                                                            const StopRequest& stop, std::chrono::milliseconds limit) {
    const TickTime deadline = std::chrono::steady_clock::now() + limit;
    wl_event_queue* queue = wl_display_create_queue(display);
    zwlr_screencopy_manager_v1* managerOnQueue = OnQueue(manager, queue);
    wl_shm* shmOnQueue = OnQueue(shm, queue);
    std::vector<std::unique_ptr<FrameCopy>> copies;
    for (const CopiedOutput& output : outputs) {
        FrameCopy& copy = *copies.emplace_back(std::make_unique<FrameCopy>());
        copy.Shm = shmOnQueue;
        copy.Layout.Transform = output.Transform;
        copy.Frame = zwlr_screencopy_manager_v1_capture_output(managerOnQueue, 0, output.Output);  // no cursor
        zwlr_screencopy_frame_v1_add_listener(copy.Frame, &FrameListener, &copy);
    }
    wl_proxy_wrapper_destroy(managerOnQueue);
    WaitForCopies(display, queue, copies, deadline, stop);
    std::vector<std::optional<image::PixelPicture>> pictures;
    for (const auto& copy : copies) pictures.push_back(std::move(copy->Picture));
    copies.clear();  // the frames and buffers go before their queue
    wl_proxy_wrapper_destroy(shmOnQueue);
    wl_event_queue_destroy(queue);
    return pictures;
}

}  // namespace wrigglet::wayland
