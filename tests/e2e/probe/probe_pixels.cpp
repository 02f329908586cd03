// Probe commands about what the scene puts on the screen: captures of screen regions,
// pixel counts by the scene's colour classes, comparisons with a reference picture, and the
// saver's test readout (window properties) and process figures.
#include "probe.h"

#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace probe {
namespace {

// A picture as 0x00RRGGBB pixels, row by row from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// The reference picture of the `picture` class and where its top-left corner lies on screen.
struct Reference {
    Picture picture;
    POINT origin{};
    bool loaded = false;
};

Reference& TheReference() {
    static Reference reference;
    return reference;
}

Picture CaptureScreen(const RECT& area) {
    Picture shot;
    shot.width = area.right - area.left;
    shot.height = area.bottom - area.top;
    if (shot.width <= 0 || shot.height <= 0) return shot;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Require(bitmap != nullptr, "cannot make a capture bitmap");
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const uint32_t* from = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(from, from + static_cast<size_t>(shot.width) * shot.height);
    for (uint32_t& p : shot.pixels) p &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return shot;
}

// Binary PPM (P6, maxval 255): ImageMagick turns PNG into it and back.
void WritePpm(const std::string& path, const Picture& picture) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "P6\n" << picture.width << ' ' << picture.height << "\n255\n";
    for (uint32_t p : picture.pixels) {
        const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
        file.write(rgb, 3);
    }
    Require(static_cast<bool>(file), "cannot write " + path);
}

Picture ReadPpm(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    Require(static_cast<bool>(file), "cannot read " + path);
    std::string magic;
    int maxval = 0;
    Picture picture;
    file >> magic >> picture.width >> picture.height >> maxval;
    file.get();  // the one blank after the header
    Require(magic == "P6" && maxval == 255 && picture.width > 0 && picture.height > 0,
            path + " is not an 8-bit binary PPM");
    std::vector<unsigned char> rgb(static_cast<size_t>(picture.width) * picture.height * 3);
    file.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    Require(file.gcount() == static_cast<std::streamsize>(rgb.size()), path + " is cut short");
    picture.pixels.resize(rgb.size() / 3);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = (rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2];
    return picture;
}

// A region: "X,Y,W,H" on the screen, "NAME" (a window's client area) or "NAME:X,Y,W,H"
// (a rectangle measured from that client area's top-left corner). "@FILE:X,Y,W,H" is a
// rectangle of a picture file instead of the screen (see CaptureRegion).
RECT ParseRegion(const std::string& text) {
    if (!text.empty() && text[0] == '@') return ParseRegion(text.substr(text.find(':') + 1));
    const size_t colon = text.find(':');
    const bool numeric = text.find_first_not_of("0123456789,-") == std::string::npos;
    POINT origin{};
    std::string numbers = text;
    if (!numeric) {
        HWND window = WindowNamed(text.substr(0, colon));
        ClientToScreen(window, &origin);
        if (colon == std::string::npos) {
            RECT client{};
            GetClientRect(window, &client);
            return {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
        }
        numbers = text.substr(colon + 1);
    }
    long v[4] = {};
    Require(std::sscanf(numbers.c_str(), "%ld,%ld,%ld,%ld", &v[0], &v[1], &v[2], &v[3]) == 4,
            "a region is X,Y,W,H, NAME or NAME:X,Y,W,H, not '" + text + "'");
    return {origin.x + v[0], origin.y + v[1], origin.x + v[0] + v[2], origin.y + v[1] + v[3]};
}

// The pixels of a region: from the screen, or from the picture file an "@FILE:" region
// names (nothing while the file is not there yet).
Picture CaptureRegion(const std::string& region, const RECT& area) {
    if (region.empty() || region[0] != '@') return CaptureScreen(area);
    const std::string path = region.substr(1, region.find(':') - 1);
    Picture whole, part;
    try {
        whole = ReadPpm(path);
    } catch (const Failure&) {
        return part;
    }
    if (area.left < 0 || area.top < 0 || area.right > whole.width || area.bottom > whole.height) return part;
    part.width = area.right - area.left;
    part.height = area.bottom - area.top;
    for (int y = area.top; y < area.bottom; ++y) {
        const auto row = whole.pixels.begin() + static_cast<ptrdiff_t>(y) * whole.width;
        part.pixels.insert(part.pixels.end(), row + area.left, row + area.right);
    }
    return part;
}

// The scene's own colours, from its palette rules (red, green, blue).
bool IsTrailColour(uint32_t p) {  // the lower half of the trail palette, black left out
    const int r = p >> 16, g = (p >> 8) & 255, b = p & 255;
    if (p == 0) return false;
    if (g == 0 && b == 0) return r <= 63 || (r >= 64 && r <= 190 && r % 2 == 0);
    if (r >= 192 && r <= 255 && g == r - 192 && b == g / 2) return true;  // 128..191
    if (r != 255) return false;
    for (int i = 0; i < 32; ++i) {
        if (g == 255 - 4 * i && b == 224 - 4 * i) return true;  // 192..223
        if (g == 128 + 2 * i && b == 96 + 3 * i) return true;   // 224..255
    }
    return false;
}

bool IsPaleTrailColour(uint32_t p) {  // the upper half, under the words
    const int r = p >> 16, g = (p >> 8) & 255, b = p & 255;
    return r >= 168 && r <= 231 && g >= 192 && b >= 144 && b <= 207;
}

enum class ColourClass { Picture, Black, Head, Body, Shadow, Trail, Pale, Exact };

struct ClassName {
    const char* name;
    ColourClass value;
};

constexpr std::array<ClassName, 7> kClasses{{{"picture", ColourClass::Picture},
                                             {"black", ColourClass::Black},
                                             {"head", ColourClass::Head},
                                             {"body", ColourClass::Body},
                                             {"shadow", ColourClass::Shadow},
                                             {"trail", ColourClass::Trail},
                                             {"pale", ColourClass::Pale}}};

struct Matcher {
    ColourClass kind = ColourClass::Exact;
    uint32_t exact = 0;  // for "#RRGGBB"
};

Matcher ParseClass(const std::string& text) {
    for (const ClassName& c : kClasses)
        if (text == c.name) return {c.value, 0};
    Require(text.size() == 7 && text[0] == '#', "unknown colour class '" + text + "'");
    return {ColourClass::Exact, static_cast<uint32_t>(std::stoul(text.substr(1), nullptr, 16))};
}

bool Matches(const Matcher& m, uint32_t p, int screenX, int screenY) {
    switch (m.kind) {
        case ColourClass::Picture: {
            const Reference& ref = TheReference();
            const int x = screenX - ref.origin.x, y = screenY - ref.origin.y;
            if (x < 0 || y < 0 || x >= ref.picture.width || y >= ref.picture.height) return false;
            return ref.picture.pixels[static_cast<size_t>(y) * ref.picture.width + x] == p;
        }
        case ColourClass::Black:
            return p == 0;
        case ColourClass::Head:
            return p == 0xFFFFFF;
        case ColourClass::Body:
            return p == 0xFFF0C0;
        case ColourClass::Shadow:
            return p == 0x804000;
        case ColourClass::Trail:
            return IsTrailColour(p);
        case ColourClass::Pale:
            return IsPaleTrailColour(p);
        case ColourClass::Exact:
            return p == m.exact;
    }
    return false;
}

long long CountMatching(const Picture& shot, const RECT& area, const Matcher& m, POINT* firstMiss) {
    long long count = 0;
    bool missed = false;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t p = shot.pixels[static_cast<size_t>(y) * shot.width + x];
            if (Matches(m, p, area.left + x, area.top + y)) {
                ++count;
            } else if (!missed && firstMiss) {
                *firstMiss = {area.left + x, area.top + y};
                missed = true;
            }
        }
    }
    return count;
}

// Counts of every class in a capture, for the failure report.
std::string Census(const Picture& shot, const RECT& area) {
    std::string text;
    for (const ClassName& c : kClasses) {
        if (c.value == ColourClass::Picture && !TheReference().loaded) continue;
        text += Format(" %s=%lld", c.name, CountMatching(shot, area, {c.value, 0}, nullptr));
    }
    return text;
}

// load-picture FILE.ppm [NAME]: the reference of the `picture` class, its top-left corner
// at the screen's origin or at window NAME's client origin.
void LoadPicture(const Args& args) {
    RequireArgs(args, 1, "load-picture FILE.ppm [NAME]");
    Reference& ref = TheReference();
    ref.picture = ReadPpm(args[0]);
    ref.origin = {0, 0};
    if (args.size() > 1) ClientToScreen(WindowNamed(args[1]), &ref.origin);
    ref.loaded = true;
}

long long CountArg(const std::string& text, const RECT& area) {
    if (text == "all") return static_cast<long long>(area.right - area.left) * (area.bottom - area.top);
    if (text == "*") return -1;
    return ToNumber(text);
}

// expect-pixels REGION CLASS MIN [MAX] [MS]: waits until the number of REGION's pixels in
// CLASS is at least MIN (and at most MAX; "all" is the region's area, "*" no bound).
// CLASS: picture (equal to the loaded reference), black, head, body, shadow, trail (the
// lower half of the trail palette), pale (its upper half, under the words), or #RRGGBB.
// On failure the last capture is kept as fail-NAME.ppm beside the probe.
void ExpectPixels(const Args& args) {
    RequireArgs(args, 3, "expect-pixels REGION CLASS MIN [MAX] [MS]");
    const RECT area = ParseRegion(args[0]);
    const Matcher matcher = ParseClass(args[1]);
    Require(matcher.kind != ColourClass::Picture || TheReference().loaded, "no picture is loaded");
    const long long minimum = CountArg(args[2], area);
    const long long maximum = args.size() > 3 ? CountArg(args[3], area) : -1;
    Picture shot;
    long long count = 0;
    POINT miss{-1, -1};
    const DWORD start = GetTickCount();
    const bool ok = WaitUntil(
        [&] {
            shot = CaptureRegion(args[0], area);
            count = CountMatching(shot, area, matcher, &miss);
            return count >= minimum && (maximum < 0 || count <= maximum);
        },
        TimeoutArg(args, 4));
    if (ok) {
        Report(Format("    %lld pixels after %lu ms", count, GetTickCount() - start));
        return;
    }
    static int failures = 0;
    const std::string kept = Format("fail-%d.ppm", ++failures);
    WritePpm(kept, shot);
    Require(false, Format("%lld pixels of class %s (first other at %ld,%ld); census:", count, args[1].c_str(), miss.x,
                          miss.y) +
                       Census(shot, area) + "; kept " + kept);
}

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const auto* picture = reinterpret_cast<const Picture*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (picture) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = picture->width;
        info.bmiHeader.biHeight = -picture->height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, picture->width, picture->height, 0, 0, 0, picture->height, picture->pixels.data(),
                          &info, DIB_RGB_COLORS);
    }
    EndPaint(window, &paint);
    return 0;
}

// show-picture NAME FILE.ppm [X Y]: a borderless window of the probe showing the picture
// with its top-left corner at X,Y (default 0,0): the desktop the saver captures. Waits
// until the screen shows it.
void ShowPicture(const Args& args) {
    RequireArgs(args, 2, "show-picture NAME FILE.ppm [X Y]");
    static const ATOM atom = [] {
        WNDCLASSA c{};
        c.lpfnWndProc = PictureWindowProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "ProbePicture";
        return RegisterClassA(&c);
    }();
    Require(atom != 0, "cannot register the picture window class");
    auto* picture = new Picture(ReadPpm(args[1]));  // lives as long as the probe
    const int x = args.size() > 3 ? static_cast<int>(ToNumber(args[2])) : 0;
    const int y = args.size() > 3 ? static_cast<int>(ToNumber(args[3])) : 0;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "ProbePicture", args[0].c_str(), WS_POPUP, x, y, picture->width,
                                  picture->height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Require(window != nullptr, Format("CreateWindowEx failed with error %lu", GetLastError()));
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    TheSession().windows[args[0]] = window;
    const RECT area{x, y, x + picture->width, y + picture->height};
    const bool shown = WaitUntil([&] { return CaptureScreen(area).pixels == picture->pixels; }, TimeoutArg(args, 4));
    Require(shown, "the screen does not show the picture");
}

// save-screen FILE.ppm [REGION]: the screen (or a region of it) as a binary PPM.
void SaveScreen(const Args& args) {
    RequireArgs(args, 1, "save-screen FILE.ppm [REGION]");
    const RECT area = args.size() > 1 ? ParseRegion(args[1])
                                      : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    WritePpm(args[0], CaptureScreen(area));
}

// invalidate NAME: marks the whole window for repainting (InvalidateRect without erasing),
// as when another window has covered it.
void Invalidate(const Args& args) {
    RequireArgs(args, 1, "invalidate NAME");
    Require(InvalidateRect(WindowNamed(args[0]), nullptr, FALSE), "InvalidateRect failed");
}

// set-env NAME VALUE: an environment variable for the processes launched after it.
void SetEnv(const Args& args) {
    RequireArgs(args, 2, "set-env NAME VALUE");
    Require(SetEnvironmentVariableA(args[0].c_str(), args[1].c_str()), "SetEnvironmentVariable failed");
}

// Asks the saver window to publish its readout (it does only when asked, so that
// publishing never weighs on the ticks being measured) and waits until it has.
void RequestReadout(HWND window) {
    static const UINT message = RegisterWindowMessageA("WriggletReadout");
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

uintptr_t Readout(HWND window, const std::string& name) {
    return reinterpret_cast<uintptr_t>(GetPropA(window, name.c_str()));
}

// expect-readout NAME PROPERTY MIN [MS]: waits until the saver window NAME's test readout
// PROPERTY (e.g. WriggletTimerMessages, with WRIGGLET_TEST_READOUT set) reaches MIN.
void ExpectReadout(const Args& args) {
    RequireArgs(args, 3, "expect-readout NAME PROPERTY MIN [MS]");
    HWND window = WindowNamed(args[0]);
    const uintptr_t minimum = static_cast<uintptr_t>(ToNumber(args[2]));
    uintptr_t value = 0;
    const DWORD start = GetTickCount();
    const bool ok = WaitUntil(
        [&] {
            RequestReadout(window);
            return (value = Readout(window, args[1])) >= minimum;
        },
        TimeoutArg(args, 3));
    Require(ok, Format("%s is %llu", args[1].c_str(), static_cast<unsigned long long>(value)));
    Report(Format("    %s = %llu after %lu ms", args[1].c_str(), static_cast<unsigned long long>(value),
                  GetTickCount() - start));
}

// expect-readout-at-most NAME PROPERTY MAX: the test readout PROPERTY is at most MAX now.
void ExpectReadoutAtMost(const Args& args) {
    RequireArgs(args, 3, "expect-readout-at-most NAME PROPERTY MAX");
    HWND window = WindowNamed(args[0]);
    RequestReadout(window);
    const uintptr_t value = Readout(window, args[1]);
    Require(value <= static_cast<uintptr_t>(ToNumber(args[2])),
            Format("%s is %llu", args[1].c_str(), static_cast<unsigned long long>(value)));
}

// The figures of a running saver that `measure` reports.
struct Sample {
    DWORD ticks = 0;  // GetTickCount
    uintptr_t timerMessages = 0, presents = 0, rects = 0, gdiCalls = 0, pixels = 0, sceneGdiObjects = 0;
    uintptr_t tickUs = 0, presentUs = 0;
    double cpuMs = 0;
    DWORD gdiObjects = 0, userObjects = 0;
    SIZE_T workingSet = 0, peakWorkingSet = 0, privateBytes = 0;
};

Sample TakeSample(HWND window, HANDLE process) {
    Sample s;
    RequestReadout(window);
    s.ticks = GetTickCount();
    s.timerMessages = Readout(window, "WriggletTimerMessages");
    s.presents = Readout(window, "WriggletPresents");
    s.rects = Readout(window, "WriggletPresentedRects");
    s.gdiCalls = Readout(window, "WriggletPresentGdiCalls");
    s.pixels = Readout(window, "WriggletPresentedPixels");
    s.sceneGdiObjects = Readout(window, "WriggletGdiObjects");
    s.tickUs = Readout(window, "WriggletTickMicroseconds");
    s.presentUs = Readout(window, "WriggletPresentMicroseconds");
    // The saver's own view of its CPU time: Wine answers GetProcessTimes about another
    // process with figures that barely move.
    s.cpuMs = static_cast<double>(Readout(window, "WriggletCpuMs"));
    s.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    s.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        s.workingSet = memory.WorkingSetSize;
        s.peakWorkingSet = memory.PeakWorkingSetSize;  // set-up's peak included
        s.privateBytes = memory.PrivateUsage;
    }
    return s;
}

// measure NAME PROC MS: lets the saver (window NAME, process PROC) run MS milliseconds and
// prints one line of figures: timer messages per second, CPU per tick, the wall time of a
// tick's work and of its present (microseconds), presents, rectangles and GDI calls per
// tick, the scene's own count of GDI objects it holds, the platform's GDI and USER object
// counts, memory. Reports only; asserts nothing.
void Measure(const Args& args) {
    RequireArgs(args, 3, "measure NAME PROC MS");
    HWND window = WindowNamed(args[0]);
    HANDLE process = ProcessNamed(args[1]).info.hProcess;
    const Sample a = TakeSample(window, process);
    Pump(static_cast<DWORD>(ToNumber(args[2])));
    const Sample b = TakeSample(window, process);
    const double seconds = (b.ticks - a.ticks) / 1000.0;
    const double ticks = static_cast<double>(b.timerMessages - a.timerMessages);
    const double per = ticks > 0 ? ticks : 1;
    Report(Format(
        "    measure: seconds=%.1f ticks=%.0f ticks_per_s=%.2f cpu_ms_per_tick=%.3f "
        "tick_work_us=%.0f present_us=%.0f "
        "presents_per_tick=%.2f rects_per_tick=%.2f gdi_calls_per_tick=%.2f pixels_per_tick=%.0f "
        "scene_gdi_objects=%llu gdi_objects=%lu user_objects=%lu working_set_kb=%llu peak_working_set_kb=%llu "
        "private_kb=%llu",
        seconds, ticks, ticks / seconds, (b.cpuMs - a.cpuMs) / per, (b.tickUs - a.tickUs) / per,
        (b.presentUs - a.presentUs) / per, (b.presents - a.presents) / per, (b.rects - a.rects) / per,
        (b.gdiCalls - a.gdiCalls) / per, (b.pixels - a.pixels) / per,
        static_cast<unsigned long long>(b.sceneGdiObjects), b.gdiObjects, b.userObjects,
        static_cast<unsigned long long>(b.workingSet / 1024), static_cast<unsigned long long>(b.peakWorkingSet / 1024),
        static_cast<unsigned long long>(b.privateBytes / 1024)));
}

// expect-picture-size FILE W H [MS]: waits for the picture file, then checks its size.
void ExpectPictureSize(const Args& args) {
    RequireArgs(args, 3, "expect-picture-size FILE W H [MS]");
    Picture picture;
    WaitUntil(
        [&] {
            try {
                picture = ReadPpm(args[0]);
                return true;
            } catch (const Failure&) {
                return false;
            }
        },
        TimeoutArg(args, 3));
    Require(picture.width == ToNumber(args[1]) && picture.height == ToNumber(args[2]),
            Format("%s is %dx%d", args[0].c_str(), picture.width, picture.height));
}

}  // namespace

void AddPixelCommands(CommandTable& table) {
    table["load-picture"] = LoadPicture;
    table["show-picture"] = ShowPicture;
    table["expect-pixels"] = ExpectPixels;
    table["expect-picture-size"] = ExpectPictureSize;
    table["save-screen"] = SaveScreen;
    table["invalidate"] = Invalidate;
    table["set-env"] = SetEnv;
    table["expect-readout"] = ExpectReadout;
    table["expect-readout-at-most"] = ExpectReadoutAtMost;
    table["measure"] = Measure;
}

}  // namespace probe
