// Entry point of TarselMainLauncher.exe.
//
// The launch flow runs on this thread and always ends by posting quit; the
// message loop then ends at its first turn. The hidden skinned main frame
// takes over hosting the flow once the window host exists; until then the
// flow runs straight from here with the same command line and mutex rules.
#include <objbase.h>
#include <windows.h>

#include "launcher/cmd_line.h"
#include "launcher/launcher.h"
#include "launcher/registry.h"
#include "util/diagnostics.h"

namespace {

const wchar_t kDefaultCommandLine[] = L"target=bin\\32bit\\Tarsel32.exe";
const wchar_t kSingleInstanceMutex[] = L"Tarsel升级程序";

// True when another launcher already holds the mutex. The handle of a newly
// created mutex stays open until the process ends.
bool AnotherInstanceRuns() {
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kSingleInstanceMutex);
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (existed && mutex) ::CloseHandle(mutex);
    return existed;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    const std::wstring text = (commandLine && *commandLine) ? commandLine : kDefaultCommandLine;
    CCmdLine* cmd = GetUnify()->GetApp()->GetCmdLine();
    cmd->SetCmdLine(text);
    Util::DebugLine("[****]lpCmdLine:\n");
    Util::DebugValue(text);

    if (cmd->GetValue(L"action") == L"execupdate") {
        Util::DebugLine("[****] action = execupdate\n");
    } else {
        Util::DebugLine("[****] action = ??\n");
        const std::wstring target = cmd->GetValue(L"target");
        if (cmd->GetTokens().size() == 1 && !target.empty() && AnotherInstanceRuns()) {
            // A user who starts the launcher again while one runs expects
            // the client, not nothing.
            Util::DebugLine("[****] 启动目标程序ExecTargetApp\n");
            Util::DebugValue(target);
            CLauncher().ExecTargetApp(target);
            return 0;
        }
    }

    if (FAILED(::CoInitialize(nullptr))) return 0;
    CLauncher().DoLaunch();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::CoUninitialize();
    return 0;
}
