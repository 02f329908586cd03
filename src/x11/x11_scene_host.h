// The scene's X11 host: the window's picture is an XImage in shared memory (MIT-SHM), or in
// ordinary memory sent with XPutImage when the display offers no shared memory; the snapshot
// is the desktop picture taken at start.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/scene_session.h"
#include "x11/desktop_image.h"

namespace wrigglet::x11 {

struct X11Window {
    Display* Connection = nullptr;
    Window Id = None;
    Visual* WindowVisual = nullptr;
    int Depth = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

// Without shared memory a tick's touched tiles go out in at most this many put requests.
inline constexpr size_t MaxPlainPuts = 8;

class X11SceneHost final : public SceneHost {
public:
    // `stop` cuts the copy of a huge desktop short.
    X11SceneHost(const X11Window& window, const DesktopImage& desktop, bool allowShm, StopRequest stop = {});
    ~X11SceneHost() override;

    // The window's size changed: the next pictures are made for the new size.
    void Resize(int32_t width, int32_t height);
    // The monitors the window spans, in its coordinates (the root window's); none: the
    // window is one scene.
    void SetMonitors(MonitorList monitors) { monitors_ = std::move(monitors); }

    MonitorList Monitors() override;
    SceneSize ClientSize() override { return {window_.Width, window_.Height}; }
    bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) override;
    void ReleasePictures() override;
    void Present(const std::vector<PixelRect>& rects) override;

    bool UsesSharedMemory() const { return shmAttached_; }

private:
    void PutImage(const PixelRect& rect);
    bool MakeImage(int32_t width, int32_t height);
    bool MakeSharedImage(int32_t width, int32_t height);
    void FreeImage();

    X11Window window_;
    MonitorList monitors_;
    int32_t originX_ = 0;  // where the picture lies in the window
    int32_t originY_ = 0;
    const DesktopImage& desktop_;
    bool allowShm_;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool shmAttached_ = false;
    bool direct_ = false;  // the image's memory is the picture
    StopRequest stop_;
    // Left unfilled when made: the session fills them row by row, so a huge picture's pages
    // are touched only where a stop request is also asked for.
    std::unique_ptr<uint32_t[]> picture_;   // the picture when the visual needs converting
    std::unique_ptr<uint32_t[]> snapshot_;  // none when the scene starts from black
};

}  // namespace wrigglet::x11
