#include "crash/reporter_handoff.h"

#include <shlwapi.h>

#include "util/unique_handle.h"

namespace crash::thrower::exception_toolkit {

void format_channel_name(DWORD threadId, DWORD processId, DWORD tickCount, const wchar_t* exeFileName,
                         bounded_text& out) noexcept {
    out.append_decimal(threadId).append(L"@@").append_decimal(processId).append(L"@@");
    out.append_decimal(tickCount).append(L"??").append(exeFileName ? exeFileName : L"na");
}

void format_reporter_command_line(const wchar_t* reporterPath, bool embed, const wchar_t* channelName,
                                  bounded_text& out) noexcept {
    out.append(L'"').append(reporterPath).append(L"\" ").append(embed ? L"/embed" : L"");
    out.append(L" /channel \"").append(channelName).append(L'"');
}

bool locate_reporter(wchar_t (&path)[MAX_PATH]) noexcept {
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    // ".." takes the executable's own name off again, so the reporter is
    // looked for beside the executable.
    if (!::PathAppendW(path, L"..\\tarselcrash.exe")) return false;
    return ::PathFileExistsW(path) != FALSE;
}

bool launch_reporter(const wchar_t* channelName, bool embed) noexcept {
    wchar_t reporterPath[MAX_PATH];
    if (!locate_reporter(reporterPath)) return false;

    wchar_t commandLine[kReporterCommandLineUnits];
    bounded_text line(commandLine, kReporterCommandLineUnits);
    format_reporter_command_line(reporterPath, embed, channelName, line);
    if (line.truncated()) return false;  // a cut command line would name the wrong section

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(reporterPath, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        return false;
    }
    Util::UniqueHandle process(info.hProcess);
    Util::UniqueHandle thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    return true;
}

}  // namespace crash::thrower::exception_toolkit
