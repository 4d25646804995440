// shell_open_client PATH
// Opens PATH through the shell, the way the launcher starts the client,
// and ends: the least any launcher must do before its client runs.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    std::wstring path = commandLine ? commandLine : L"";
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, folder.c_str(), SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32 ? 0 : 1;
}
