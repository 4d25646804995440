#include "util/path_element.h"

#include <cwchar>
#include <cwctype>

namespace Util {
namespace {

// Reserved in every folder, with or without an extension.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();  // "NUL .txt" is NUL as well
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (_wcsicmp(stem.c_str(), device) == 0) return true;
    }
    if (stem.size() == 4 && (_wcsnicmp(stem.c_str(), L"COM", 3) == 0 || _wcsnicmp(stem.c_str(), L"LPT", 3) == 0)) {
        // COM0 and LPT0 included; the superscript digits count as well.
        const wchar_t digit = stem[3];
        return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
    }
    return false;
}

bool IsRefusedCharacter(wchar_t c) { return c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr; }

}  // namespace

bool IsPlainPathElement(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (IsRefusedCharacter(c)) return false;
    }
    if (name.back() == L'.' || name.back() == L' ') return false;
    return !IsDeviceName(name);
}

bool HasExeExtension(const std::wstring& name) {
    constexpr size_t kLength = 4;
    return name.size() > kLength && _wcsicmp(name.c_str() + name.size() - kLength, L".exe") == 0;
}

}  // namespace Util
