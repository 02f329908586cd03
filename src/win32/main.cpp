// Program entry of the screen saver: one instance at a time, one duty per process.
#include <windows.h>

#include "core/saver_settings.h"
#include "win32/password.h"
#include "win32/saver_window.h"
#include "win32/settings_duty.h"
#include "win32/shell_state.h"
#include "win32/system_library.h"

namespace wrigglet {

ShellState Shell;
SaverSettings Settings;

namespace {

constexpr char InstanceMutexName[] = "Screensaver_%G^H&J*K(:";

// True when another instance holds the mutex. Without a mutex the saver runs unguarded;
// the handle is kept for the whole life of the process.
bool AnotherInstanceRuns() {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, InstanceMutexName);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return true;
    }
    return false;
}

void RunDuty(HINSTANCE instance, SaverSettings& settings) {
    switch (Shell.Command.SaverMode) {
        case RunMode::ModeConfigure: {
            // A handle that is no window would make the dialog fail to show: it goes unowned.
            HWND owner = AsHwnd(Shell.Command.ParentWindow);
            ShowSettingsDialog(instance, IsWindow(owner) ? owner : nullptr, settings);
            break;
        }
        case RunMode::ModeChangePassword:
            ChangeSaverPassword(AsHwnd(Shell.Command.ParentWindow));
            break;
        case RunMode::ModePreview:
            RunPreview();
            break;
        case RunMode::ModeFullScreen:
            RunFullScreen();
            break;
        case RunMode::ModeNone:
            break;
    }
}

}  // namespace
}  // namespace wrigglet

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace wrigglet;
    RestrictLibrarySearchToSystemFolder();
    Shell.IsNTPlatform = QueryIsNTPlatform();
    if (AnotherInstanceRuns()) return 0;

    Shell.Command = ParseSaverCommandLine(GetCommandLineA(), [] { return AsWindowHandle(GetForegroundWindow()); });
    LoadSettings(Settings);
    RunDuty(instance, Settings);
    return 0;
}
