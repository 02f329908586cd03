// The scene's platform side with GDI and DIB sections.
#include "win32/gdi_scene_host.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "win32/stopwatch.h"

namespace wrigglet {

namespace {

// A width x height top-down 32-bit DIB section; its bits are 0x00RRGGBB pixels.
HBITMAP CreateTopDownDib(HDC reference, int32_t width, int32_t height, uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits = bitmap ? static_cast<uint32_t*>(memory) : nullptr;
    return bitmap;
}

void CopyScreen(HDC screen, HBITMAP target, const PixelRect& area, bool stretch, uintptr_t& live) {
    HDC memory = CreateCompatibleDC(screen);
    if (memory) ++live;
    HGDIOBJ previous = SelectObject(memory, target);
    const int32_t width = RectWidth(area), height = RectHeight(area);
    if (stretch) {
        StretchBlt(memory, 0, 0, width, height, screen, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN), SRCCOPY);
    } else {
        // The screen's device context spans the virtual screen, the primary at 0,0.
        BitBlt(memory, 0, 0, width, height, screen, area.Left, area.Top, SRCCOPY);
    }
    SelectObject(memory, previous);
    if (memory && DeleteDC(memory)) --live;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    auto& monitors = *reinterpret_cast<MonitorList*>(list);
    const RECT& r = info.rcMonitor;
    if (info.dwFlags & MONITORINFOF_PRIMARY) monitors.Primary = monitors.Rects.size();
    monitors.Rects.push_back({r.left, r.top, r.right, r.bottom});
    return TRUE;
}

}  // namespace

// Where the system can't list its monitors, the primary screen at 0,0 is the only one.
MonitorList GdiSceneHost::Monitors() {
    MonitorList monitors;
    if (!EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors)) ||
        monitors.Rects.empty())
        return {{{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}}, 0};
    return monitors;
}

SceneSize GdiSceneHost::ClientSize() {
    // The preview's picture is no larger than the virtual screen, whatever the host's window:
    // a huge host window would otherwise cost gigabytes, or fail inside the platform's copy.
    // Systems before the virtual screen's metrics answer 0 for them: the screen is the limit.
    RECT client{};
    GetClientRect(window_, &client);
    auto limit = [](int virtualMetric, int screenMetric) {
        const int size = GetSystemMetrics(virtualMetric);
        return static_cast<int32_t>(size > 0 ? size : GetSystemMetrics(screenMetric));
    };
    return {std::min<int32_t>(client.right, limit(SM_CXVIRTUALSCREEN, SM_CXSCREEN)),
            std::min<int32_t>(client.bottom, limit(SM_CYVIRTUALSCREEN, SM_CYSCREEN))};
}

bool GdiSceneHost::MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) {
    ReleasePictures();
    HDC screen = GetDC(nullptr);
    if (screen) ++LiveGdiObjects;
    const int32_t width = RectWidth(area), height = RectHeight(area);
    // A black snapshot is left to the session, which needs no buffer for it: at a large
    // virtual screen that is hundreds of megabytes.
    const bool black = source == SnapshotSource::Black;
    pictures.Snapshot = nullptr;
    if (!black) snapshotBitmap_ = CreateTopDownDib(screen, width, height, pictures.Snapshot);
    pictureBitmap_ = CreateTopDownDib(screen, width, height, pictures.Picture);
    LiveGdiObjects += (snapshotBitmap_ != nullptr) + (pictureBitmap_ != nullptr);
    bool made = (black || snapshotBitmap_) && pictureBitmap_;
    // Reading the screen back is the slowest part of the start, so it is left out when the
    // snapshot is not shown.
    if (made && !black)
        CopyScreen(screen, snapshotBitmap_, area, source == SnapshotSource::StretchedScreen, LiveGdiObjects);
    captured_ = true;
    if (made) {
        pictureDc_ = CreateCompatibleDC(screen);
        if (pictureDc_) ++LiveGdiObjects;
        pictureDcBitmap_ = pictureDc_ ? SelectObject(pictureDc_, pictureBitmap_) : nullptr;
    }
    if (screen && ReleaseDC(nullptr, screen)) --LiveGdiObjects;
    GdiFlush();  // the capture must be in the bits before the scene reads them
    made = made && pictureDc_ && pictureDcBitmap_;
    if (!made) {
        ReleasePictures();
        pictures = {};
    }
    return made;
}

void GdiSceneHost::ReleasePictures() {
    if (pictureDc_ && pictureDcBitmap_) SelectObject(pictureDc_, pictureDcBitmap_);
    if (pictureDc_ && DeleteDC(pictureDc_)) --LiveGdiObjects;
    pictureDc_ = nullptr;
    pictureDcBitmap_ = nullptr;
    if (snapshotBitmap_ && DeleteObject(snapshotBitmap_)) --LiveGdiObjects;
    if (pictureBitmap_ && DeleteObject(pictureBitmap_)) --LiveGdiObjects;
    snapshotBitmap_ = pictureBitmap_ = nullptr;
}

namespace {

// The rectangles as one region, in the layout ExtCreateRegion takes.
HRGN MakeRegion(const std::vector<PixelRect>& rects, const RECT& bounds) {
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (size_t i = 0; i < rects.size(); ++i) out[i] = {rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom};
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header->rcBound = bounds;
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
}

}  // namespace

// One copy of the rectangles' bounds through a clip region of the rectangles themselves:
// the platform then moves only their pixels, whatever their number.
void GdiSceneHost::Present(const std::vector<PixelRect>& rects) {
    if (!pictureDc_ || rects.empty()) return;
    const Stopwatch stopwatch(TimePresents ? &PresentMicroseconds : nullptr);
    HDC window = GetDC(window_);
    // Without a region (one rectangle, or none could be made) the whole bounds are copied:
    // more pixels, the same picture.
    const PixelRect box = BoundingRect(rects);
    const RECT bounds{box.Left, box.Top, box.Right, box.Bottom};
    HRGN clip = rects.size() > 1 ? MakeRegion(rects, bounds) : nullptr;
    LiveGdiObjects += (window != nullptr) + (clip != nullptr);
    if (clip) SelectClipRgn(window, clip);
    BitBlt(window, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, pictureDc_,
           bounds.left, bounds.top, SRCCOPY);
    // The class's own device context keeps its clip region between uses.
    if (clip) SelectClipRgn(window, nullptr);
    if (clip && DeleteObject(clip)) --LiveGdiObjects;
    if (window && ReleaseDC(window_, window)) --LiveGdiObjects;
    // GetDC, BitBlt, ReleaseDC; with a region also ExtCreateRegion, two SelectClipRgn and
    // DeleteObject.
    PresentGdiCalls += clip ? 7 : 3;
}

}  // namespace wrigglet
