// Program entry of the screen saver: one instance at a time, one duty per process.
#include <windows.h>

#include "saver/command_line.h"
#include "core/saver_settings.h"
#include "win32/password.h"
#include "win32/saver_duty.h"
#include "win32/saver_window.h"
#include "win32/settings_duty.h"
#include "win32/system_library.h"

namespace wrigglet {
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

void RunDuty(HINSTANCE instance, const SaverCommand& command, SaverSettings& settings, bool isNTPlatform) {
    switch (command.SaverMode) {
        case ModeConfigure: {
            // A handle that is no window would make the dialog fail to show: it goes unowned.
            HWND owner = AsHwnd(command.ParentWindow);
            ShowSettingsDialog(instance, IsWindow(owner) ? owner : nullptr, settings);
            break;
        }
        case ModeChangePassword:
            ChangeSaverPassword(AsHwnd(command.ParentWindow));
            break;
        case ModePreview:
            RunPreview(command, settings, isNTPlatform);
            break;
        case ModeFullScreen:
            RunFullScreen(command, settings, isNTPlatform);
            break;
        case ModeNone:
            break;
    }
}

}  // namespace
}  // namespace wrigglet

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace wrigglet;
    RestrictLibrarySearchToSystemFolder();
    const bool isNTPlatform = QueryIsNTPlatform();
    if (AnotherInstanceRuns()) return 0;

    const SaverCommand command =
        ParseSaverCommandLine(GetCommandLineA(), [] { return AsWindowHandle(GetForegroundWindow()); });
    SaverSettings settings = LoadRegistrySettings();
    RunDuty(instance, command, settings, isNTPlatform);
    return 0;
}
