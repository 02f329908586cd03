// How the scene's pictures live on an X display. One XImage holds the window's picture;
// each tick sends only its touched rectangles, through one clip list and one put with
// shared memory, or a few bands without.
#include "x11/x11_scene_host.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>

#include "x11/x11_errors.h"
#include "x11/x11_pixels.h"

namespace wrigglet::x11 {

X11SceneHost::X11SceneHost(const X11Window& window, const DesktopImage& desktop, bool allowShm, StopRequest stop)
    : window_(window),
      desktop_(desktop),
      allowShm_(allowShm && XShmQueryExtension(window.Connection)),
      stop_(std::move(stop)) {
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

MonitorList X11SceneHost::Monitors() {
    if (monitors_.Rects.empty()) return {{{0, 0, window_.Width, window_.Height}}, 0};
    return monitors_;
}

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
    image_->data =
        static_cast<char*>(std::calloc(static_cast<size_t>(image_->bytes_per_line), static_cast<size_t>(height)));
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

bool X11SceneHost::MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) {
    ReleasePictures();
    const int32_t width = RectWidth(area), height = RectHeight(area);
    if (!gc_ || !MakeImage(width, height)) return false;
    originX_ = area.Left;
    originY_ = area.Top;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    // A black snapshot needs no buffer: the session takes a missing one as black. Without a
    // desktop picture the screen's snapshot is black too.
    if (source != SnapshotSource::Black && desktop_.Width > 0) {
        snapshot_.reset(new uint32_t[pixels]);
        if (!CopyDesktop(desktop_, area, snapshot_.get(), stop_)) {
            ReleasePictures();
            return false;
        }
    }
    direct_ = IsSceneLayout(*image_);
    picture_.reset(direct_ ? nullptr : new uint32_t[pixels]);
    pictures.Picture = direct_ ? reinterpret_cast<uint32_t*>(image_->data) : picture_.get();
    pictures.Snapshot = snapshot_.get();
    return true;
}

void X11SceneHost::ReleasePictures() {
    FreeImage();
    snapshot_.reset();
    picture_.reset();
}

void X11SceneHost::PutImage(const PixelRect& r) {
    const unsigned width = static_cast<unsigned>(r.Right - r.Left), height = static_cast<unsigned>(r.Bottom - r.Top);
    if (shmAttached_)
        XShmPutImage(window_.Connection, window_.Id, gc_, image_, r.Left, r.Top, originX_ + r.Left, originY_ + r.Top,
                     width, height, False);
    else
        XPutImage(window_.Connection, window_.Id, gc_, image_, r.Left, r.Top, originX_ + r.Left, originY_ + r.Top,
                  width, height);
}

void X11SceneHost::Present(const std::vector<PixelRect>& rects) {
    if (!image_ || rects.empty()) return;
    if (!direct_)
        for (const PixelRect& rect : rects)
            WriteImagePixels(*image_, rect, picture_.get(), static_cast<size_t>(image_->width));
    if (rects.size() == 1) {
        PutImage(rects.front());
    } else if (shmAttached_) {
        // Shared memory costs the server a copy of what it is told to put, not a transfer:
        // one clip list of the touched tiles and one put of their bounding box.
        std::vector<XRectangle> clip;
        clip.reserve(rects.size());
        for (const PixelRect& r : rects)
            clip.push_back({static_cast<short>(r.Left), static_cast<short>(r.Top),
                            static_cast<unsigned short>(r.Right - r.Left),
                            static_cast<unsigned short>(r.Bottom - r.Top)});
        XSetClipRectangles(window_.Connection, gc_, originX_, originY_, clip.data(), static_cast<int>(clip.size()),
                           Unsorted);
        PutImage(BoundingRect(rects));
        XSetClipMask(window_.Connection, gc_, None);
    } else {
        // Without shared memory every put pixel crosses the connection, and hundreds of
        // small puts would cost more than the pixels: a few bands holding the tiles. What a
        // band holds beyond them is the picture as the window already shows it.
        for (const PixelRect& band : RectBands(rects, MaxPlainPuts)) PutImage(band);
    }
    XFlush(window_.Connection);
}

}  // namespace wrigglet::x11
