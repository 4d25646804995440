#include "crash/reporter_handoff.h"

#include <shlwapi.h>


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

bool reporter_path(wchar_t (&path)[MAX_PATH]) noexcept {
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    // ".." takes the executable's own name off again, so the reporter is
    // looked for beside the executable.
    return ::PathAppendW(path, L"..\\tarselcrash.exe") != FALSE;
}

bool locate_reporter(wchar_t (&path)[MAX_PATH]) noexcept {
    return reporter_path(path) && ::PathFileExistsW(path);
}

held_reporter::~held_reporter() {
    if (process_ && !released_) ::TerminateProcess(process_.get(), 1);
}

bool held_reporter::start(const wchar_t* path, bool embed, const wchar_t* channelName) noexcept {
    if (!path || !*path || !::PathFileExistsW(path)) return false;

    wchar_t commandLine[kReporterCommandLineUnits];
    bounded_text line(commandLine, kReporterCommandLineUnits);
    format_reporter_command_line(path, embed, channelName, line);
    if (line.truncated()) return false;  // a cut command line would name the wrong section

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(path, commandLine, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &info)) {
        return false;
    }
    process_.reset(info.hProcess);
    thread_.reset(info.hThread);
    return true;
}

void held_reporter::release_and_wait() noexcept {
    if (!process_ || released_) return;
    released_ = true;
    ::ResumeThread(thread_.get());
    ::WaitForSingleObject(process_.get(), INFINITE);
}

}  // namespace crash::thrower::exception_toolkit
