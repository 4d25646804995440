#include "util/system_library.h"

#include <string>

#include "util/path_element.h"

namespace Util {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (!name || !IsPlainPathElement(name)) return nullptr;
    if (HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;  // the flag is known: the DLL is not there
    wchar_t systemDir[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(systemDir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(systemDir, length) + L"\\" + name;
    // A full path: the DLL's own imports are then looked for beside it first.
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace Util
