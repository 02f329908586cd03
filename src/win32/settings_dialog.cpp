// The settings dialog: five groups of radio buttons over SaverSettings, saved on OK.
#include "saver/settings_dialog_map.h"
#include "saver/settings_store.h"
#include "win32/registry_settings_storage.h"
#include "win32/settings_dialogs.h"

namespace wrigglet {
namespace {

SettingsDialogContext* ContextOf(HWND dialog) {
    return reinterpret_cast<SettingsDialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnInitDialog(HWND dialog, SettingsDialogContext* context) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
    if (!context || !context->Settings) return;
    PresetButtons(*context->Settings, [dialog](int id) { CheckDlgButton(dialog, id, BST_CHECKED); });
}

void OnOk(HWND dialog, SettingsDialogContext* context) {
    if (context && context->Settings) {
        ReadButtons(*context->Settings, [dialog](int id) { return IsDlgButtonChecked(dialog, id); });
        RegistrySettingsStorage storage;
        SaveSettings(storage, *context->Settings);
    }
    EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
    SettingsDialogContext* context = ContextOf(dialog);
    switch (LOWORD(wParam)) {
        case dialog_ids::Ok:
            OnOk(dialog, context);
            break;
        case dialog_ids::Cancel:
            EndDialog(dialog, IDCANCEL);
            break;
        case dialog_ids::About:
            DialogBoxParamA(context ? context->Instance : nullptr, "ABOUTBOX", dialog, AboutDialogProc, 0);
            break;
        default:
            // The automatic radio buttons keep their own state until OK.
            DefWindowProcA(dialog, WM_COMMAND, wParam, lParam);
            break;
    }
}

}  // namespace

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog, reinterpret_cast<SettingsDialogContext*>(lParam));
            return TRUE;  // the dialog manager focuses the first tab stop, OK
        case WM_COMMAND:
            OnCommand(dialog, wParam, lParam);
            return FALSE;
        case WM_CLOSE:
            // A modal dialog must be ended, not only destroyed, or its owner (often the
            // display control panel) would stay disabled.
            EndDialog(dialog, IDCANCEL);
            DestroyWindow(dialog);
            return FALSE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace wrigglet
