// Libraries the saver loads at run time come from the system folder only, never from the
// saver's own folder, where anyone could drop a file of the same name.
#pragma once

#include <windows.h>

namespace wrigglet {

// Where the platform offers it (SetDefaultDllDirectories, looked up at run time so the
// older family still starts), limits every later library search to the system folder.
void RestrictLibrarySearchToSystemFolder();

// LoadLibraryA of `name` by its full path in the system folder (GetSystemDirectoryA);
// null when the folder can't be read or the library can't be loaded.
HMODULE LoadSystemLibrary(const char* name);

}  // namespace wrigglet
