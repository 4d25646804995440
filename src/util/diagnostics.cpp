#include "util/diagnostics.h"

#include <windows.h>

#include "util/util.h"

namespace Util {

std::string Utf8ToCodePage936(const char* utf8) {
    std::wstring wide = Utf8ToWide(utf8 ? utf8 : "");
    if (wide.empty()) return std::string();
    int count = ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (count <= 0) return std::string();
    std::string text(static_cast<size_t>(count), '\0');
    ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), text.data(), count, nullptr, nullptr);
    return text;
}

void DebugLine(const char* utf8Line) { ::OutputDebugStringA(Utf8ToCodePage936(utf8Line).c_str()); }

void DebugValue(const std::wstring& value) { ::OutputDebugStringW(value.c_str()); }

void DebugValueA(const std::string& value) { ::OutputDebugStringA(value.c_str()); }

}  // namespace Util
