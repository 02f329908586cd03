// How the scene's pictures live on an X display. One XImage holds the window's picture;
// each tick sends only its touched rectangles, one put-image request each.
#include "x11/x11_scene_host.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include "x11/x11_errors.h"
#include "x11/x11_pixels.h"

namespace wrigglet::x11 {

X11SceneHost::X11SceneHost(const X11Window& window, const DesktopImage& desktop, bool allowShm)
    : window_(window), desktop_(desktop), allowShm_(allowShm && XShmQueryExtension(window.Connection)) {
    gc_ = XCreateGC(window_.Connection, window_.Id, 0, nullptr);
}

X11SceneHost::~X11SceneHost() {
    FreeImage();
    if (gc_) XFreeGC(window_.Connection, gc_);
}

void X11SceneHost::Resize(int32_t width, int32_t height) {
    window_.Width = width;
    window_.Height = height;
}

SceneSize X11SceneHost::ScreenSize() { return {window_.Width, window_.Height}; }

SceneSize X11SceneHost::ClientSize() { return {window_.Width, window_.Height}; }

bool X11SceneHost::MakeSharedImage(int32_t width, int32_t height) {
    Display* display = window_.Connection;
    image_ = XShmCreateImage(display, window_.WindowVisual, static_cast<unsigned>(window_.Depth), ZPixmap, nullptr,
                             &shm_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image_) return false;
    shm_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(height),
                        IPC_CREAT | 0600);
    if (shm_.shmid >= 0) {
        shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        shm_.readOnly = False;
        // A display on another machine refuses the attach; the error arrives only after a sync.
        ErrorTrap trap(display);
        shmAttached_ = shm_.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &shm_) && !trap.Failed();
        shmctl(shm_.shmid, IPC_RMID, nullptr);  // freed once both sides detach
    }
    if (shmAttached_) return true;
    if (shm_.shmaddr && shm_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm_.shmaddr);
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    shm_ = {};
    return false;
}

bool X11SceneHost::MakeImage(int32_t width, int32_t height) {
    if (allowShm_ && MakeSharedImage(width, height)) return true;
    Display* display = window_.Connection;
    image_ = XCreateImage(display, window_.WindowVisual, static_cast<unsigned>(window_.Depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image_) return false;
    image_->data = static_cast<char*>(std::calloc(static_cast<size_t>(image_->bytes_per_line), static_cast<size_t>(height)));
    if (image_->data) return true;
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
}

void X11SceneHost::FreeImage() {
    if (!image_) return;
    if (shmAttached_) {
        XShmDetach(window_.Connection, &shm_);
        XSync(window_.Connection, False);
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
        shmAttached_ = false;
        shm_ = {};
    }
    XDestroyImage(image_);  // frees ordinary image memory
    image_ = nullptr;
}

bool X11SceneHost::CaptureSnapshot(int32_t width, int32_t height, bool, bool fromScreen, uint32_t*& snapshot,
                                   uint32_t*& picture) {
    FreeImage();
    if (!gc_ || !MakeImage(width, height)) return false;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    snapshot_.assign(pixels, 0);
    if (fromScreen) CopyDesktop(desktop_, 0, 0, width, height, snapshot_.data());
    direct_ = IsSceneLayout(*image_);
    if (direct_) {
        picture_.clear();
        picture = reinterpret_cast<uint32_t*>(image_->data);
    } else {
        picture_.assign(pixels, 0);
        picture = picture_.data();
    }
    snapshot = snapshot_.data();
    return true;
}

void X11SceneHost::ReleaseSnapshot() {
    FreeImage();
    snapshot_ = {};
    picture_ = {};
}

void X11SceneHost::StartTimer(uint32_t, uint32_t milliseconds) { timerMilliseconds_ = milliseconds; }

void X11SceneHost::StopTimer(uint32_t) { timerMilliseconds_ = 0; }

void X11SceneHost::Present(const std::vector<PixelRect>& rects) {
    if (!image_) return;
    Display* display = window_.Connection;
    for (const PixelRect& rect : rects) {
        const unsigned width = static_cast<unsigned>(rect.Right - rect.Left);
        const unsigned height = static_cast<unsigned>(rect.Bottom - rect.Top);
        if (!direct_) WriteImagePixels(*image_, rect, picture_.data(), static_cast<size_t>(image_->width));
        if (shmAttached_)
            XShmPutImage(display, window_.Id, gc_, image_, rect.Left, rect.Top, rect.Left, rect.Top, width, height,
                         False);
        else
            XPutImage(display, window_.Id, gc_, image_, rect.Left, rect.Top, rect.Left, rect.Top, width, height);
    }
    XFlush(display);
}

}  // namespace wrigglet::x11
