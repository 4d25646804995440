// Stand-in for the Tarsel client and for an installer package. It appends
// one line to a log and exits, so tests can see what the launcher started,
// with which parameters and in which working directory:
//   ROLE|full path of this exe|parameters|working directory
// The log is %TARSEL_STUB_LOG% when set, else "stub_programs.log" beside
// this exe. Lines are UTF-8.
// With TARSEL_STUB_TIMESTAMP=1 a fifth field follows: QueryPerformanceCounter
// taken first thing at start, for timing how long a launcher took to get
// here (the counter is one clock for all processes under Wine).
#include <windows.h>

#include <string>

#include "util/unique_handle.h"
#include "util/util.h"

#ifndef STUB_ROLE
#error "STUB_ROLE must name the role (client or installer)"
#endif

namespace {

std::wstring LogPath() {
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableW(L"TARSEL_STUB_LOG", buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return buffer;
    return Util::GetModuleDir() + L"stub_programs.log";
}

bool TimestampWanted() {
    wchar_t value[8] = {};
    DWORD length = ::GetEnvironmentVariableW(L"TARSEL_STUB_TIMESTAMP", value, 8);
    return length == 1 && value[0] == L'1';
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR parameters, int) {
    LARGE_INTEGER started;
    ::QueryPerformanceCounter(&started);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring line = std::wstring(STUB_ROLE) + L"|" + self + L"|" + (parameters ? parameters : L"") + L"|" + cwd;
    if (TimestampWanted()) line += L"|" + std::to_wstring(started.QuadPart);
    line += L"\n";
    std::string bytes = Util::WideToUtf8(line);

    // Several stubs may start at once: retry while another holds the log.
    for (int attempt = 0; attempt < 200; ++attempt) {
        Util::UniqueFile log(::CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (log) {
            DWORD written = 0;
            ::WriteFile(log.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            return 0;
        }
        ::Sleep(10);
    }
    return 1;
}
