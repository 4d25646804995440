// Entry point of TarselMainLauncher.exe.
//
// The whole launch flow runs while the hidden main frame is being created
// and always ends by posting quit, so the message loop ends at its first
// turn. The exit code is 0 on every path.
#include <objbase.h>
#include <windows.h>

#include <new>

#include "launcher/cmd_line.h"
#include "launcher/launcher.h"
#include "launcher/main_frame.h"
#include "launcher/registry.h"
#include "launcher/startup_timeline.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/window/wnd_shadow.h"
#include "util/diagnostics.h"
#include "util/util.h"

namespace {

const wchar_t kDefaultCommandLine[] = L"target=bin\\32bit\\Tarsel32.exe";
const wchar_t kSingleInstanceName[] = L"Tarsel升级程序";
constexpr UINT kApplicationIcon = 103;

// True when another launcher already holds the mutex. The handle of a newly
// created mutex stays open until the process ends.
bool AnotherInstanceRuns() {
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kSingleInstanceName);
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (existed && mutex) ::CloseHandle(mutex);
    return existed;
}

// Closes COM on every way out of the entry point once it is open.
class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (ok_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    StartupTimeline::Mark("entry_point");
    const StartupTimeline::TimelineWriter timeline;
    const std::wstring text = (commandLine && *commandLine) ? commandLine : kDefaultCommandLine;
    CCmdLine* cmd = GetUnify()->GetApp()->GetCmdLine();
    cmd->SetCmdLine(text);
    Util::DebugLine("[****]lpCmdLine:\n");
    Util::DebugValue(text);
    // Every path the launcher uses (the data file, the client, the staging
    // folder) is built from its own folder. Without it the paths would lead
    // to the drive root or the current folder, which programs without
    // administrator rights can fill: start nothing.
    if (Util::GetModuleDir().empty()) {
        Util::DebugLine("[******] launcher folder unknown, nothing started\n");
        return 0;
    }

    if (cmd->GetValue(L"action") == L"execupdate") {
        Util::DebugLine("[****] action = execupdate\n");
    } else {
        Util::DebugLine("[****] action = ??\n");
        const std::wstring target = cmd->GetValue(L"target");
        if (cmd->GetTokens().size() == 1 && !target.empty() && AnotherInstanceRuns()) {
            // A user who starts the launcher again while one runs (it may be
            // waiting for an answer in the update box) expects the client.
            Util::DebugLine("[****] 启动目标程序ExecTargetApp\n");
            Util::DebugValue(target);
            CLauncher().ExecTargetApp(target);
            return 0;
        }
    }

    StartupTimeline::Mark("single_instance_test");

    TarselUI::CWndShadow::Initialize(instance);
    TarselUI::CPaintManagerUI::SetInstance(instance);

    ComApartment com;
    if (!com.ok()) return 0;

    // Deletes itself when its window is destroyed.
    auto* frame = new (std::nothrow) CMainFrameWnd();
    if (!frame) return 0;
    StartupTimeline::Mark("frame_create");
    HWND hwnd = frame->Create(nullptr, kSingleInstanceName, WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, 0);
    if (!hwnd) {
        // Nothing has posted quit: the loop would never end.
        Util::DebugLine("[****] main window not created\n");
        return 0;
    }
    StartupTimeline::Mark("frame_created");
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIcon));
    ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::ShowWindow(hwnd, SW_HIDE);

    TarselUI::CPaintManagerUI::MessageLoop();
    return 0;
}
