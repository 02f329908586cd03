// Probe commands about windows: making the probe's own (parents, foreground stand-ins),
// finding the saver's, and reading their class, styles, rectangles and z-order.
#include "probe.h"

namespace probe {

namespace {

constexpr char kProbeClass[] = "WriggletProbeWindow";

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_MOUSEWHEEL:
            ++ReceivedInput()[window][message];
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;  // no menu loop from Alt
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const Args& args, HWND parent, DWORD style) {
    const int x = static_cast<int>(ToNumber(args[1])), y = static_cast<int>(ToNumber(args[2]));
    const int w = static_cast<int>(ToNumber(args[3])), h = static_cast<int>(ToNumber(args[4]));
    HWND window = CreateWindowExA(0, kProbeClass, args[0].c_str(), style, x, y, w, h, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    Require(window != nullptr, Format("CreateWindowEx failed with error %lu", GetLastError()));
    TheSession().windows[args[0]] = window;
    Pump(0);
    Report(
        Format("    window '%s' = %lld", args[0].c_str(), static_cast<long long>(reinterpret_cast<INT_PTR>(window))));
    return window;
}

// make-window NAME X Y W H: a visible top-level window of the probe.
void MakeTopLevel(const Args& args) {
    RequireArgs(args, 5, "make-window NAME X Y W H");
    MakeWindow(args, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
}

// make-child NAME PARENT X Y W H
void MakeChild(const Args& args) {
    RequireArgs(args, 6, "make-child NAME PARENT X Y W H");
    Args rest = {args[0], args[2], args[3], args[4], args[5]};
    MakeWindow(rest, WindowNamed(args[1]), WS_CHILD | WS_VISIBLE);
}

// foreground NAME: makes NAME the foreground window and waits until it is.
void Foreground(const Args& args) {
    RequireArgs(args, 1, "foreground NAME");
    HWND window = WindowNamed(args[0]);
    SetForegroundWindow(window);
    Require(WaitUntil([&] { return GetForegroundWindow() == window; }, TimeoutArg(args, 1)),
            "the window did not come to the foreground");
}

// raise NAME: to the top of the (non-topmost) z-order without activating it.
void Raise(const Args& args) {
    RequireArgs(args, 1, "raise NAME");
    SetWindowPos(WindowNamed(args[0]), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump(0);
}

// destroy NAME
void Destroy(const Args& args) {
    RequireArgs(args, 1, "destroy NAME");
    Require(DestroyWindow(WindowNamed(args[0])) != 0, "DestroyWindow failed");
    Pump(0);
}

HWND FindOwnedWindow(DWORD pid, const std::string& className, HWND parent) {
    struct Search {
        DWORD pid;
        const std::string* className;
        HWND found;
    } search{pid, &className, nullptr};
    const WNDENUMPROC visit = [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[256] = {};
        GetClassNameA(window, name, sizeof name);
        if (owner == s->pid && *s->className == name) {
            s->found = window;
            return FALSE;
        }
        return TRUE;
    };
    if (parent) {
        EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    } else {
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

// find-window NAME PROC CLASS [PARENT|-] [TIMEOUT_MS]: waits for a visible window of CLASS
// that PROC owns, top-level or inside the probe's window PARENT.
void FindWindowCommand(const Args& args) {
    RequireArgs(args, 3, "find-window NAME PROC CLASS [PARENT|-] [TIMEOUT_MS]");
    const DWORD pid = ProcessNamed(args[1]).info.dwProcessId;
    HWND parent = args.size() > 3 && args[3] != "-" ? WindowNamed(args[3]) : nullptr;
    HWND found = nullptr;
    const bool ok = WaitUntil(
        [&] {
            found = FindOwnedWindow(pid, args[2], parent);
            return found && IsWindowVisible(found);
        },
        TimeoutArg(args, 4));
    Require(ok, "no visible window of class '" + args[2] + "' appeared");
    TheSession().windows[args[0]] = found;
    Report(Format("    window '%s' = %lld", args[0].c_str(), static_cast<long long>(reinterpret_cast<INT_PTR>(found))));
}

// Checks "+FLAG" (must be set) and "-FLAG" (must be clear) words against `bits`.
void CheckFlags(unsigned long bits, const Args& args, std::size_t from) {
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& word = args[i];
        Require(!word.empty() && (word[0] == '+' || word[0] == '-'), "flags are +NAME or -NAME");
        const unsigned long bit = StyleBit(word.substr(1));
        const bool set = (bits & bit) == bit;
        Require(set == (word[0] == '+'),
                Format("%s is %s (bits 0x%08lx)", word.c_str() + 1, set ? "set" : "clear", bits));
    }
}

void ExpectStyle(const Args& args) {
    RequireArgs(args, 2, "expect-style NAME +FLAG|-FLAG...");
    CheckFlags(static_cast<unsigned long>(GetWindowLongPtrA(WindowNamed(args[0]), GWL_STYLE)), args, 1);
}

void ExpectExStyle(const Args& args) {
    RequireArgs(args, 2, "expect-exstyle NAME +FLAG|-FLAG...");
    CheckFlags(static_cast<unsigned long>(GetWindowLongPtrA(WindowNamed(args[0]), GWL_EXSTYLE)), args, 1);
}

void ExpectClassStyle(const Args& args) {
    RequireArgs(args, 2, "expect-class-style NAME +FLAG|-FLAG...");
    CheckFlags(static_cast<unsigned long>(GetClassLongPtrA(WindowNamed(args[0]), GCL_STYLE)), args, 1);
}

// expect-class NAME CLASS
void ExpectClass(const Args& args) {
    RequireArgs(args, 2, "expect-class NAME CLASS");
    char name[256] = {};
    GetClassNameA(WindowNamed(args[0]), name, sizeof name);
    Require(args[1] == name, std::string("class is '") + name + "'");
}

RECT WindowRect(HWND window) {
    RECT rect{};
    Require(GetWindowRect(window, &rect) != 0, "GetWindowRect failed");
    return rect;
}

// expect-rect NAME LEFT TOP RIGHT BOTTOM [MS] | expect-rect NAME screen   (screen
// coordinates; waits until the window has that rectangle)
void ExpectRect(const Args& args) {
    RequireArgs(args, 2, "expect-rect NAME (L T R B [MS] | screen)");
    HWND window = WindowNamed(args[0]);
    RECT rect{}, want{};
    if (args[1] == "screen") {
        want = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else {
        RequireArgs(args, 5, "expect-rect NAME L T R B");
        want = {static_cast<LONG>(ToNumber(args[1])), static_cast<LONG>(ToNumber(args[2])),
                static_cast<LONG>(ToNumber(args[3])), static_cast<LONG>(ToNumber(args[4]))};
    }
    const bool same = WaitUntil(
        [&] {
            rect = WindowRect(window);
            return EqualRect(&rect, &want) != 0;
        },
        TimeoutArg(args, 5));
    Require(same, Format("rectangle is %ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom));
}

// expect-same-size NAME OTHER: both windows' rectangles have the same width and height.
void ExpectSameSize(const Args& args) {
    RequireArgs(args, 2, "expect-same-size NAME OTHER");
    const RECT a = WindowRect(WindowNamed(args[0])), b = WindowRect(WindowNamed(args[1]));
    Require(
        a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top,
        Format("%ld x %ld against %ld x %ld", a.right - a.left, a.bottom - a.top, b.right - b.left, b.bottom - b.top));
}

// expect-client-origin NAME OTHER: NAME's top-left corner is OTHER's client-area origin.
void ExpectClientOrigin(const Args& args) {
    RequireArgs(args, 2, "expect-client-origin NAME OTHER");
    const RECT a = WindowRect(WindowNamed(args[0]));
    POINT origin{0, 0};
    ClientToScreen(WindowNamed(args[1]), &origin);
    Require(a.left == origin.x && a.top == origin.y,
            Format("at %ld,%ld; the client area starts at %ld,%ld", a.left, a.top, origin.x, origin.y));
}

// expect-parent NAME PARENT
void ExpectParent(const Args& args) {
    RequireArgs(args, 2, "expect-parent NAME PARENT");
    Require(GetParent(WindowNamed(args[0])) == WindowNamed(args[1]), "another parent");
}

// expect-foreground NAME [TIMEOUT_MS]: waits until NAME is the foreground window.
void ExpectForeground(const Args& args) {
    RequireArgs(args, 1, "expect-foreground NAME [TIMEOUT_MS]");
    HWND window = WindowNamed(args[0]);
    const bool ok = WaitUntil([&] { return GetForegroundWindow() == window; }, TimeoutArg(args, 1));
    Require(ok, Format("the foreground window is %lld",
                       static_cast<long long>(reinterpret_cast<INT_PTR>(GetForegroundWindow()))));
}

// expect-not-foreground NAME: NAME is not the foreground window now.
void ExpectNotForeground(const Args& args) {
    RequireArgs(args, 1, "expect-not-foreground NAME");
    Pump(0);
    Require(GetForegroundWindow() != WindowNamed(args[0]), "it is the foreground window");
}

// expect-received NAME MESSAGE COUNT [TIMEOUT_MS]: the probe's window NAME has received
// MESSAGE at least COUNT times (input that went to it rather than to the saver).
void ExpectReceived(const Args& args) {
    RequireArgs(args, 3, "expect-received NAME MESSAGE COUNT [TIMEOUT_MS]");
    HWND window = WindowNamed(args[0]);
    const UINT message = MessageNumber(args[1]);
    const int count = static_cast<int>(ToNumber(args[2]));
    const bool ok = WaitUntil([&] { return ReceivedInput()[window][message] >= count; }, TimeoutArg(args, 3));
    Require(ok, Format("received %d times", ReceivedInput()[window][message]));
}

WPARAM WordArg(const Args& args, std::size_t index) {
    return args.size() > index ? static_cast<WPARAM>(ToNumber(args[index])) : 0;
}

// post NAME MESSAGE [WPARAM LPARAM]
void Post(const Args& args) {
    RequireArgs(args, 2, "post NAME MESSAGE [WPARAM LPARAM [TIMES]]");
    const long long times = args.size() > 4 ? ToNumber(args[4]) : 1;
    for (long long i = 0; i < times; ++i) {
        const BOOL ok = PostMessageA(WindowNamed(args[0]), MessageNumber(args[1]), WordArg(args, 2),
                                     static_cast<LPARAM>(WordArg(args, 3)));
        Require(ok, Format("PostMessage failed with error %lu", GetLastError()));
    }
}

// send NAME MESSAGE [WPARAM LPARAM]: returns when the window has handled it.
void Send(const Args& args) {
    RequireArgs(args, 2, "send NAME MESSAGE [WPARAM LPARAM]");
    DWORD_PTR result = 0;
    const LRESULT ok = SendMessageTimeoutA(WindowNamed(args[0]), MessageNumber(args[1]), WordArg(args, 2),
                                           static_cast<LPARAM>(WordArg(args, 3)), SMTO_NORMAL, 10000, &result);
    Require(ok != 0, Format("SendMessageTimeout failed with error %lu", GetLastError()));
    Report(Format("    result %lld", static_cast<long long>(result)));
}

}  // namespace

HWND WindowNamed(const std::string& name) {
    auto found = TheSession().windows.find(name);
    if (found == TheSession().windows.end()) throw Failure("no window named '" + name + "'");
    return found->second;
}

std::map<HWND, std::map<UINT, int>>& ReceivedInput() {
    static std::map<HWND, std::map<UINT, int>> received;
    return received;
}

void RegisterProbeWindowClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ProbeWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kProbeClass;
    RegisterClassA(&windowClass);
}

void AddWindowCommands(CommandTable& table) {
    table["make-window"] = MakeTopLevel;
    table["make-child"] = MakeChild;
    table["foreground"] = Foreground;
    table["raise"] = Raise;
    table["destroy"] = Destroy;
    table["find-window"] = FindWindowCommand;
    table["expect-style"] = ExpectStyle;
    table["expect-exstyle"] = ExpectExStyle;
    table["expect-class-style"] = ExpectClassStyle;
    table["expect-class"] = ExpectClass;
    table["expect-rect"] = ExpectRect;
    table["expect-same-size"] = ExpectSameSize;
    table["expect-client-origin"] = ExpectClientOrigin;
    table["expect-parent"] = ExpectParent;
    table["expect-foreground"] = ExpectForeground;
    table["expect-not-foreground"] = ExpectNotForeground;
    table["expect-received"] = ExpectReceived;
    table["post"] = Post;
    table["send"] = Send;
}

}  // namespace probe
