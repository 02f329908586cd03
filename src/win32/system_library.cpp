// Loads libraries by full path in the system folder, and narrows the default search there.
#include "win32/system_library.h"

#include <cstdint>
#include <cstring>

namespace wrigglet {
namespace {

using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD flags);

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelt out: older headers and systems don't know it.
constexpr DWORD SearchSystemFolderOnly = 0x00000800;

}  // namespace

void RestrictLibrarySearchToSystemFolder() {
    const HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (!kernel) return;
    const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (restrict) restrict(SearchSystemFolderOnly);
}

HMODULE LoadSystemLibrary(const char* name) {
    char path[MAX_PATH + 16];
    const std::size_t nameLength = std::strlen(name);
    const UINT folderLength = GetSystemDirectoryA(path, MAX_PATH);
    // 0 is a failure; a length of MAX_PATH or more means the folder did not fit.
    if (folderLength == 0 || folderLength >= MAX_PATH || folderLength + 1 + nameLength >= sizeof path) {
        return nullptr;
    }
    path[folderLength] = '\\';
    std::memcpy(path + folderLength + 1, name, nameLength + 1);
    HMODULE module = LoadLibraryA(path);
    // Results of 32 or less are the old-style error codes.
    return reinterpret_cast<std::uintptr_t>(module) <= 32 ? nullptr : module;
}

}  // namespace wrigglet
