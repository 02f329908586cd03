// Password protection on the Windows side: the registry flag, the verifier library and
// the change-password library, all reached at run time (from the system folder) so the
// saver runs without them.
#include "win32/password.h"

#include <cstring>

#include "saver/close_gate.h"
#include "win32/system_library.h"

namespace wrigglet {
namespace {

using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND parent);
using PwdChangePasswordAProc = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD, DWORD);

class RegistryPasswordFlag final : public PasswordFlagStore {
public:
    bool Open() override {
        return RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key_) == ERROR_SUCCESS;
    }
    bool Read(std::array<std::uint8_t, 4>& buffer) override {
        DWORD size = static_cast<DWORD>(buffer.size());
        return RegQueryValueExA(key_, "ScreenSaveUsePassword", nullptr, nullptr, buffer.data(), &size) == ERROR_SUCCESS;
    }
    void Close() override { RegCloseKey(key_); }

private:
    HKEY key_ = nullptr;
};

class PasswordCplVerifier final : public PasswordVerifier {
public:
    explicit PasswordCplVerifier(HWND parent) : parent_(parent) {}
    bool Load() override { return (library_ = LoadSystemLibrary("PASSWORD.CPL")) != nullptr; }
    bool FindEntryPoint() override {
        verify_ = reinterpret_cast<VerifyScreenSavePwdProc>(
            reinterpret_cast<void*>(GetProcAddress(library_, "VerifyScreenSavePwd")));
        return verify_ != nullptr;
    }
    bool Verify() override { return verify_(parent_) != 0; }
    void Free() override { FreeLibrary(library_); }

private:
    HWND parent_;
    HMODULE library_ = nullptr;
    VerifyScreenSavePwdProc verify_ = nullptr;
};

class WindowSaverControl final : public SaverControl {
public:
    WindowSaverControl(HWND window, MouseWatch& mouse) : window_(window), mouse_(mouse) {}
    void ShowCursor(bool show) override { ::ShowCursor(show ? TRUE : FALSE); }
    void RestartMouseWatch() override {
        POINT cursor{};
        GetCursorPos(&cursor);
        RecordMouseOrigin(mouse_, {cursor.x, cursor.y});
    }
    void PostClose() override { PostMessageA(window_, WM_DESTROY, 0, 0); }

private:
    HWND window_;
    MouseWatch& mouse_;
};

}  // namespace

bool QueryIsNTPlatform() {
    // Only the platform id is read; if the query fails it stays 0, the older family.
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void TryCloseSaverWindow(HWND window, bool isNTPlatform, MouseWatch& mouse) {
    RegistryPasswordFlag flag;
    PasswordCplVerifier verifier(window);
    WindowSaverControl saver(window, mouse);
    TryCloseSaver(CloseGate{isNTPlatform, flag, verifier, saver});
}

void ChangeSaverPassword(HWND owner) {
    HMODULE library = LoadSystemLibrary("MPR.DLL");
    if (!library) return;
    const auto change = reinterpret_cast<PwdChangePasswordAProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (change) change("SCRSAVE", owner, 0, 0);
    FreeLibrary(library);
}

}  // namespace wrigglet
