// Probe commands that make real input through the platform's input queue (SendInput):
// keys, buttons, the wheel and cursor moves, as a user would.
#include "probe.h"

namespace probe {
namespace {

void SendOne(INPUT input) {
    Require(SendInput(1, &input, sizeof input) == 1, Format("SendInput failed with error %lu", GetLastError()));
    Pump(0);
}

void Key(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendOne(input);
}

// key-down KEY, key-up KEY, key KEY (press and release). KEY: a letter, a digit or VK_NAME.
void KeyDown(const Args& args) {
    RequireArgs(args, 1, "key-down KEY");
    Key(VirtualKey(args[0]), true);
}
void KeyUp(const Args& args) {
    RequireArgs(args, 1, "key-up KEY");
    Key(VirtualKey(args[0]), false);
}
void KeyPress(const Args& args) {
    RequireArgs(args, 1, "key KEY");
    Key(VirtualKey(args[0]), true);
    Key(VirtualKey(args[0]), false);
}

void MouseEvent(DWORD flags, DWORD data) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendOne(input);
}

// button left|right|middle|x1|x2 down|up|click
void Button(const Args& args) {
    RequireArgs(args, 2, "button left|right|middle|x1|x2 down|up|click");
    struct Kind {
        const char* name;
        DWORD down, up, data;
    };
    static const Kind kinds[] = {
        {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 0},
        {"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 0},
        {"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 0},
        {"x1", MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON1},
        {"x2", MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON2},
    };
    for (const Kind& kind : kinds) {
        if (args[0] != kind.name) continue;
        if (args[1] == "down" || args[1] == "click") MouseEvent(kind.down, kind.data);
        if (args[1] == "up" || args[1] == "click") MouseEvent(kind.up, kind.data);
        return;
    }
    throw Failure("unknown button '" + args[0] + "'");
}

// wheel DELTA (120 is one notch away from the user)
void Wheel(const Args& args) {
    RequireArgs(args, 1, "wheel DELTA");
    MouseEvent(MOUSEEVENTF_WHEEL, static_cast<DWORD>(ToNumber(args[0])));
}

// mouse-move X Y: moves the pointer as the mouse would (absolute coordinates, so the
// platform's pointer acceleration plays no part), and checks that it arrived. A release of
// an unused key follows each move: the platform merges a move into the one before it while
// that one is still queued, and the release keeps every move a message of its own.
void MouseMove(const Args& args) {
    RequireArgs(args, 2, "mouse-move X Y");
    const POINT target{static_cast<LONG>(ToNumber(args[0])), static_cast<LONG>(ToNumber(args[1]))};
    // Absolute coordinates over the whole virtual screen, so monitors left of or above the
    // primary are reached too (with one monitor it is the primary screen).
    const LONG left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const LONG width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    // The smallest 0..65535 value that maps back onto the wanted pixel.
    input.mi.dx = static_cast<LONG>(((target.x - left) * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>(((target.y - top) * 65536LL + height - 1) / height);
    SendOne(input);
    Key(VK_F24, false);
    POINT after{};
    Require(WaitUntil(
                [&] {
                    GetCursorPos(&after);
                    return after.x == target.x && after.y == target.y;
                },
                5000),
            Format("the cursor went to %ld,%ld", after.x, after.y));
}

// set-cursor X Y: places the cursor without mouse input (Wine starts it at the centre).
void SetCursor(const Args& args) {
    RequireArgs(args, 2, "set-cursor X Y");
    const int x = static_cast<int>(ToNumber(args[0])), y = static_cast<int>(ToNumber(args[1]));
    SetCursorPos(x, y);
    POINT now{};
    Require(WaitUntil(
                [&] {
                    GetCursorPos(&now);
                    return now.x == x && now.y == y;
                },
                5000),
            Format("the cursor is at %ld,%ld", now.x, now.y));
}

// expect-cursor-hidden: the pointer shows no cursor (the foreground thread set none, or
// its show count is negative).
void ExpectCursorHidden(const Args& args) {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    const bool ok = WaitUntil(
        [&] {
            GetCursorInfo(&info);
            return info.hCursor == nullptr || !(info.flags & CURSOR_SHOWING);
        },
        TimeoutArg(args, 0));
    Require(ok, Format("cursor %p, flags 0x%lx", static_cast<void*>(info.hCursor), info.flags));
}

}  // namespace

void AddInputCommands(CommandTable& table) {
    table["key-down"] = KeyDown;
    table["key-up"] = KeyUp;
    table["key"] = KeyPress;
    table["button"] = Button;
    table["wheel"] = Wheel;
    table["mouse-move"] = MouseMove;
    table["set-cursor"] = SetCursor;
    table["expect-cursor-hidden"] = ExpectCursorHidden;
}

}  // namespace probe
