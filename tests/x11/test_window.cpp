// The X11 scenarios' helper. "test_window W H" makes a plain W x H window at 0,0 and prints
// its id once it is on the screen; "test_window --input-only W H" makes an InputOnly one and
// prints its id; "test_window --desktop FILE.ppm" makes a binary PPM the root window's
// background. Each stays until killed, keeping what it made alive.
// "test_window --close ID" asks window ID to close, as a window manager's close button does.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Stay(Display* display) {
    XEvent event;
    for (;;) XNextEvent(display, &event);
}

int ShowWindow(Display* display, unsigned width, unsigned height) {
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, 0,
                                              BlackPixel(display, screen));
    XSelectInput(display, window, ExposureMask);
    XMapWindow(display, window);
    XEvent event;
    XWindowEvent(display, window, ExposureMask, &event);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    Stay(display);
}

// Only what make_picture writes: "P6 W H 255", then RGB bytes.
int ShowDesktop(Display* display, const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    unsigned width = 0, height = 0, top = 0;
    file >> magic >> width >> height >> top;
    file.get();
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    if (magic != "P6" || top != 255 ||
        !file.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size())))
        return 1;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XImage* image =
        XCreateImage(display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
                     ZPixmap, 0, nullptr, width, height, 32, 0);
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * height));
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            XPutPixel(image, static_cast<int>(x), static_cast<int>(y),
                      static_cast<unsigned long>(p[0]) << 16 | static_cast<unsigned long>(p[1]) << 8 | p[2]);
        }
    const Pixmap pixmap =
        XCreatePixmap(display, root, width, height, static_cast<unsigned>(DefaultDepth(display, screen)));
    XPutImage(display, pixmap, DefaultGC(display, screen), image, 0, 0, 0, 0, width, height);
    XSetWindowBackgroundPixmap(display, root, pixmap);
    XClearWindow(display, root);
    XSync(display, False);
    std::printf("desktop\n");
    std::fflush(stdout);
    Stay(display);
}

int ShowInputOnly(Display* display, unsigned width, unsigned height) {
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, InputOnly,
                                        CopyFromParent, 0, nullptr);
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    Stay(display);
}

int AskToClose(Display* display, const char* id) {
    const Window window = std::strtoul(id, nullptr, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display && argc == 4 && std::strcmp(argv[1], "--input-only") == 0)
        return ShowInputOnly(display, static_cast<unsigned>(std::atoi(argv[2])),
                             static_cast<unsigned>(std::atoi(argv[3])));
    if (!display || argc != 3) return 1;
    if (std::strcmp(argv[1], "--desktop") == 0) return ShowDesktop(display, argv[2]);
    if (std::strcmp(argv[1], "--close") == 0) return AskToClose(display, argv[2]);
    return ShowWindow(display, static_cast<unsigned>(std::atoi(argv[1])), static_cast<unsigned>(std::atoi(argv[2])));
}
