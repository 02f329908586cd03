// Names the probe's scripts use for styles, messages and keys, and the argument helpers.
#include <cctype>
#include <cstdlib>

#include "probe.h"

namespace probe {
namespace {

struct Name {
    const char* text;
    unsigned long value;
};

template <std::size_t N>
unsigned long Lookup(const Name (&names)[N], const std::string& text, const char* kind) {
    for (const Name& name : names) {
        if (text == name.text) return name.value;
    }
    // Anything else may be given as a number.
    try {
        return static_cast<unsigned long>(ToNumber(text));
    } catch (const Failure&) {
        throw Failure(std::string("unknown ") + kind + " '" + text + "'");
    }
}

const Name kStyles[] = {
    {"WS_POPUP", WS_POPUP},
    {"WS_CHILD", WS_CHILD},
    {"WS_VISIBLE", WS_VISIBLE},
    {"WS_DISABLED", WS_DISABLED},
    {"WS_MAXIMIZE", WS_MAXIMIZE},
    {"WS_MINIMIZE", WS_MINIMIZE},
    {"WS_CAPTION", WS_CAPTION},
    {"WS_BORDER", WS_BORDER},
    {"WS_SYSMENU", WS_SYSMENU},
    {"WS_THICKFRAME", WS_THICKFRAME},
    {"WS_EX_TOPMOST", WS_EX_TOPMOST},
    {"WS_EX_TOOLWINDOW", WS_EX_TOOLWINDOW},
    {"WS_EX_APPWINDOW", WS_EX_APPWINDOW},
    {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME},
    {"CS_OWNDC", CS_OWNDC},
    {"CS_SAVEBITS", CS_SAVEBITS},
    {"CS_DBLCLKS", CS_DBLCLKS},
};

const Name kMessages[] = {
    {"WM_NULL", WM_NULL},
    {"WM_CREATE", WM_CREATE},
    {"WM_DESTROY", WM_DESTROY},
    {"WM_CLOSE", WM_CLOSE},
    {"WM_PAINT", WM_PAINT},
    {"WM_TIMER", WM_TIMER},
    {"WM_SETCURSOR", WM_SETCURSOR},
    {"WM_ACTIVATE", WM_ACTIVATE},
    {"WM_ACTIVATEAPP", WM_ACTIVATEAPP},
    {"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {"WM_KEYDOWN", WM_KEYDOWN},
    {"WM_KEYUP", WM_KEYUP},
    {"WM_CHAR", WM_CHAR},
    {"WM_SYSKEYDOWN", WM_SYSKEYDOWN},
    {"WM_SYSKEYUP", WM_SYSKEYUP},
    {"WM_MOUSEMOVE", WM_MOUSEMOVE},
    {"WM_DISPLAYCHANGE", WM_DISPLAYCHANGE},
    {"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
    {"WM_LBUTTONUP", WM_LBUTTONUP},
    {"WM_RBUTTONDOWN", WM_RBUTTONDOWN},
    {"WM_RBUTTONUP", WM_RBUTTONUP},
    {"WM_MBUTTONDOWN", WM_MBUTTONDOWN},
    {"WM_MBUTTONUP", WM_MBUTTONUP},
    {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK},
    {"WM_MOUSEWHEEL", WM_MOUSEWHEEL},
    {"WM_XBUTTONDOWN", WM_XBUTTONDOWN},
    {"WM_XBUTTONUP", WM_XBUTTONUP},
    {"WM_COMMAND", WM_COMMAND},
};

const Name kKeys[] = {
    {"VK_SPACE", VK_SPACE}, {"VK_RETURN", VK_RETURN},   {"VK_ESCAPE", VK_ESCAPE}, {"VK_TAB", VK_TAB},
    {"VK_SHIFT", VK_SHIFT}, {"VK_CONTROL", VK_CONTROL}, {"VK_MENU", VK_MENU},     {"VK_LEFT", VK_LEFT},
    {"VK_RIGHT", VK_RIGHT}, {"VK_UP", VK_UP},           {"VK_DOWN", VK_DOWN},     {"VK_F1", VK_F1},
    {"VK_F4", VK_F4},       {"VK_F10", VK_F10},         {"VK_DELETE", VK_DELETE},
};

}  // namespace

long long ToNumber(const std::string& text) {
    if (text.empty()) throw Failure("a number is missing");
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (*end != '\0') throw Failure("'" + text + "' is not a number");
    return value;
}

unsigned long StyleBit(const std::string& name) { return Lookup(kStyles, name, "style"); }

UINT MessageNumber(const std::string& name) { return static_cast<UINT>(Lookup(kMessages, name, "message")); }

WORD VirtualKey(const std::string& name) {
    // A single letter or digit is its own key code.
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    return static_cast<WORD>(Lookup(kKeys, name, "key"));
}

void Require(bool condition, const std::string& whyNot) {
    if (!condition) throw Failure(whyNot);
}

void RequireArgs(const Args& args, std::size_t minimum, const char* usage) {
    if (args.size() < minimum) throw Failure(std::string("usage: ") + usage);
}

DWORD TimeoutArg(const Args& args, std::size_t index) {
    constexpr DWORD kDefaultTimeoutMs = 15000;  // generous: Wine under load can be slow
    return args.size() > index ? static_cast<DWORD>(ToNumber(args[index])) : kDefaultTimeoutMs;
}

const std::map<std::string, Command>& Commands() {
    static const CommandTable table = [] {
        CommandTable t;
        AddProcessCommands(t);
        AddWindowCommands(t);
        AddInputCommands(t);
        AddSystemCommands(t);
        AddDialogCommands(t);
        AddPixelCommands(t);
        return t;
    }();
    return table;
}

}  // namespace probe
