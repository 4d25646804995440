#pragma once
// DLLs of the system folder, loaded from there and nowhere else. The
// launcher runs with administrator rights from a folder (and a current
// folder, and a PATH) that programs without them may be able to fill: a
// DLL of a system name planted there would otherwise run with its rights.

#include <windows.h>

namespace Util {

// Loads `name` (a bare file name such as L"msimg32.dll") from the system
// folder: LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32, or, where that
// flag is unknown (Windows 7 without update KB2533623), by its full path in
// the system folder. nullptr for anything that is not a bare name.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace Util
