// The About box: icon, version, copyright and credit, and a button to the project's page.
#include <windows.h>
#include <shellapi.h>

#include "saver/settings_dialog_map.h"
#include "win32/settings_dialogs.h"

namespace wrigglet {
namespace {

constexpr char ProjectWebPage[] = "https://wrigglet2004.example.org/";

void OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case dialog_ids::Ok:
        case dialog_ids::Cancel:
            EndDialog(dialog, LOWORD(wParam));
            break;
        case dialog_ids::WebPage:
            // Whatever the shell makes of it, the About box stays open.
            ShellExecuteA(dialog, nullptr, ProjectWebPage, nullptr, nullptr, SW_SHOWNORMAL);
            break;
        default:
            break;
    }
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, wParam);
            return FALSE;
        case WM_SYSCOMMAND:
            // Not handled, so the default system-command handling still runs afterwards.
            if ((wParam & 0xFFF0) == SC_CLOSE) EndDialog(dialog, IDCANCEL);
            return FALSE;
        case WM_CLOSE:
            // Ending it first gives the settings dialog its input back.
            EndDialog(dialog, IDCANCEL);
            DestroyWindow(dialog);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace wrigglet
