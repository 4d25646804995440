// Where the launcher's DLLs come from: the system folder only. The launcher
// runs with administrator rights; its own folder, the current folder and
// PATH may be writable by programs without them, and a DLL of a system
// name planted there would be loaded in its place.
//
// Linked into the launcher executables as an object of their own: the
// delay-load helper's notification hook below must win over the runtime
// library's empty one.
#include <windows.h>

#include <delayimp.h>

#include <string>

#include "util/diagnostics.h"
#include "util/system_library.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Every later LoadLibrary without a folder, including those system DLLs make
// for themselves, searches the system folder only. Looked up at run time:
// Windows 7 without update KB2533623 lacks it, and there the current folder
// at least leaves the search.
void RestrictDllSearch() {
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(kernel32 ? ::GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    ::SetDllDirectoryW(L"");
    Util::DebugLine("[******] SetDefaultDllDirectories unavailable: DLLs are searched without the current folder\n");
}

// Before the other static objects of the program, so nothing they load
// searches the old way.
[[gnu::constructor(101)]] void RestrictDllSearchAtStart() { RestrictDllSearch(); }

// The late-loading helper asks before it loads a DLL; the answer is the
// system folder's copy (its own LoadLibrary would search the program's
// folder first where SetDefaultDllDirectories is missing).
FARPROC WINAPI LoadLateDllFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    const std::string ansi = info->szDll;
    const std::wstring name(ansi.begin(), ansi.end());  // DLL names in import tables are ASCII
    HMODULE module = Util::LoadSystemLibrary(name.c_str());
    // Null (not in the system folder): the helper loads it itself, with the
    // search restricted above, and reports a failure as it would its own.
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(module));
}

}  // namespace

// Declared extern "C" by delayimp.h.
PfnDliHook __pfnDliNotifyHook2 = &LoadLateDllFromSystemFolder;
