#include "support/test_paths.h"

#include <windows.h>

#include <vector>

#include "util/unique_handle.h"

namespace testsupport {

std::wstring UnixToWinePath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path += (c == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

std::wstring BuildDir() { return UnixToWinePath(TARSEL_BUILD_DIR "/"); }
std::wstring SourceDir() { return UnixToWinePath(TARSEL_SOURCE_DIR "/"); }
std::wstring ToolPath(const std::wstring& exeName) { return BuildDir() + L"tools\\" + exeName; }

long RunProcess(const std::wstring& commandLine, unsigned long timeoutMs, const std::wstring& workingDir) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
        return -1;
    }
    Util::UniqueHandle process(info.hProcess);
    Util::UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        return -2;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

std::wstring GetEnv(const wchar_t* name) {
    wchar_t buffer[32768];
    DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
    if (length == 0 || length >= 32768) return std::wstring();
    return std::wstring(buffer, length);
}

}  // namespace testsupport
