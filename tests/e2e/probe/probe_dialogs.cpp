// Probe commands about the saver's dialogs: finding a dialog and its owner, clicking its
// buttons as a user would, and reading its radio buttons.
#include <algorithm>
#include <vector>

#include "probe.h"

namespace probe {
namespace {

constexpr char kDialogClass[] = "#32770";

struct DialogSeen {
    HWND window;
    HWND owner;
    std::string title;
    bool visible;
};

// Every top-level standard dialog that process `pid` owns.
std::vector<DialogSeen> DialogsOf(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<DialogSeen> found;
    } search{pid, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {}, title[256] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner != s->pid || std::string(name) != kDialogClass) return TRUE;
            GetWindowTextA(window, title, sizeof title);
            s->found.push_back({window, GetWindow(window, GW_OWNER), title, IsWindowVisible(window) != 0});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

long long Decimal(HWND window) { return static_cast<long long>(reinterpret_cast<INT_PTR>(window)); }

std::string Describe(const std::vector<DialogSeen>& dialogs) {
    std::string text;
    for (const DialogSeen& d : dialogs) {
        text += Format("\n        dialog %lld '%s' owner %lld%s", Decimal(d.window), d.title.c_str(), Decimal(d.owner),
                       d.visible ? "" : " (hidden)");
    }
    return text.empty() ? " none" : text;
}

// find-dialog NAME PROC TITLE OWNER [TIMEOUT_MS]: waits for a visible dialog of PROC with
// TITLE whose owner is the window OWNER (`none`: no owner; `-`: any owner), and names it.
void FindDialog(const Args& args) {
    RequireArgs(args, 4, "find-dialog NAME PROC TITLE (OWNER | none | -) [TIMEOUT_MS]");
    const DWORD pid = ProcessNamed(args[1]).info.dwProcessId;
    const bool anyOwner = args[3] == "-";
    const HWND owner = anyOwner || args[3] == "none" ? nullptr : WindowNamed(args[3]);
    std::vector<DialogSeen> seen;
    HWND found = nullptr;
    const bool ok = WaitUntil(
        [&] {
            seen = DialogsOf(pid);
            for (const DialogSeen& d : seen) {
                if (d.visible && d.title == args[2] && (anyOwner || d.owner == owner)) found = d.window;
            }
            return found != nullptr;
        },
        TimeoutArg(args, 4));
    Require(ok, "no such dialog; the process has:" + Describe(seen));
    TheSession().windows[args[0]] = found;
    Report(Format("    dialog '%s' = %lld", args[0].c_str(), Decimal(found)));
}

// expect-gone NAME [TIMEOUT_MS]: waits until window NAME no longer exists.
void ExpectGone(const Args& args) {
    RequireArgs(args, 1, "expect-gone NAME [TIMEOUT_MS]");
    HWND window = WindowNamed(args[0]);
    Require(WaitUntil([&] { return !IsWindow(window); }, TimeoutArg(args, 1)), "the window still exists");
}

HWND ControlOf(const std::string& dialog, const std::string& id) {
    HWND control = GetDlgItem(WindowNamed(dialog), static_cast<int>(ToNumber(id)));
    Require(control != nullptr, "the dialog has no control " + id);
    return control;
}

bool IsRadioButton(HWND control) {
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    const LONG_PTR kind = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiA(name, "Button") == 0 && (kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON);
}

// The ids of the dialog's radio buttons that are checked, in the dialog's order.
std::vector<int> CheckedRadioButtons(HWND dialog) {
    std::vector<int> checked;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (IsRadioButton(c) && SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            checked.push_back(GetDlgCtrlID(c));
        }
    }
    return checked;
}

// expect-checked NAME ID... | expect-checked NAME -: waits until exactly the radio buttons
// ID... of dialog NAME are checked (`-`: none) and every other one is clear.
void ExpectChecked(const Args& args) {
    RequireArgs(args, 2, "expect-checked NAME (ID... | -)");
    HWND dialog = WindowNamed(args[0]);
    std::vector<int> want;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] != "-") want.push_back(static_cast<int>(ToNumber(args[i])));
    }
    std::sort(want.begin(), want.end());
    std::vector<int> checked;
    const bool ok = WaitUntil(
        [&] {
            checked = CheckedRadioButtons(dialog);
            std::sort(checked.begin(), checked.end());
            return checked == want;
        },
        5000);
    std::string ids = "checked:";
    for (int id : checked) ids += Format(" %d", id);
    Require(ok, checked.empty() ? ids + " none" : ids);
}

// click NAME ID [TIMEOUT_MS]: a left click, through the mouse, in the middle of control ID
// of dialog NAME. It first waits until the dialog is the foreground window and active in its
// own thread: a click that activates the dialog would race the dialog's own focus handling,
// which can take the press away from the button.
void Click(const Args& args) {
    RequireArgs(args, 2, "click NAME ID");
    HWND dialog = WindowNamed(args[0]);
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    const bool active = WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == dialog && GetGUIThreadInfo(thread, &info) && info.hwndActive == dialog;
        },
        TimeoutArg(args, 2));
    Require(active, "the dialog did not become the active foreground window");
    RECT rect{};
    Require(GetWindowRect(ControlOf(args[0], args[1]), &rect) != 0, "GetWindowRect failed");
    const auto& commands = Commands();
    const long x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    // Under Wine a late pointer event from X can carry the cursor back to where the previous
    // click left it, so the press goes down only once the cursor has stayed on the control.
    const auto stayed = [&] {
        Sleep(100);
        POINT now{};
        return GetCursorPos(&now) && now.x == x && now.y == y;
    };
    bool settled = false;
    for (int attempt = 0; attempt < 5 && !settled; ++attempt) {
        commands.at("mouse-move")({std::to_string(x), std::to_string(y)});
        settled = stayed();
    }
    Require(settled, "the cursor did not stay on the control");
    commands.at("button")({"left", "click"});
}

}  // namespace

void AddDialogCommands(CommandTable& table) {
    table["find-dialog"] = FindDialog;
    table["expect-gone"] = ExpectGone;
    table["expect-checked"] = ExpectChecked;
    table["click"] = Click;
}

}  // namespace probe
