// Creates the launcher's hidden main frame the way the entry point does and
// writes what it observes to probe.txt beside itself, one "key=value" per
// line. Tests copy it into a throw-away folder under the launcher's name
// (with a data file naming an unreachable server), so the launch flow it
// runs starts nothing and its update check fails at once.
#include <windows.h>

#include <cstring>
#include <sstream>
#include <string>

#include "launcher/cmd_line.h"
#include "launcher/main_frame.h"
#include "launcher/registry.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

int g_launches = 0;
std::string g_lateDllsAtFirstLaunch;

// The DLLs the launcher loads at their first call (this probe is linked the
// same way; TARSEL_LATE_DLLS names them, space-separated) that are already
// loaded.
std::string LoadedLateDlls() {
    std::string loaded;
    std::wistringstream names(TARSEL_LATE_DLLS);
    std::wstring name;
    while (names >> name) {
        if (!::GetModuleHandleW((name + L".dll").c_str())) continue;
        loaded += (loaded.empty() ? "" : " ") + Util::WideToUtf8(name);
    }
    return loaded;
}

// Counts the flow's first debug line as it is raised.
LONG CALLBACK CountLaunches(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        if (text && std::strcmp(text, "[****] DoLaunch\n") == 0 && g_launches++ == 0) {
            g_lateDllsAtFirstLaunch = LoadedLateDlls();
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

bool TakeQuit() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// The main frame with caption buttons, to watch the maximise swap.
class FrameWithButtons : public CMainFrameWnd {
public:
    TarselUI::CUIString GetSkinXml() override {
        return L"<Window size=\"200,100\"><HorizontalLayout>"
               L"<Button name=\"maxbtn\" width=\"30\" /><Button name=\"restorebtn\" width=\"30\" visible=\"false\" />"
               L"</HorizontalLayout></Window>";
    }
    TarselUI::UILIB_RESOURCETYPE GetResourceType() const override { return TarselUI::RESTYPE_FILE; }
    bool Visible(LPCWSTR name) {
        TarselUI::CControlUI* control = m_PaintManager.FindControl(name);
        return control && control->IsVisible();
    }
};

std::string Flag(bool value) { return value ? "1" : "0"; }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    ::AddVectoredExceptionHandler(1, CountLaunches);
    TarselUI::CPaintManagerUI::SetInstance(instance);
    GetUnify()->GetApp()->GetCmdLine()->SetCmdLine(L"target=bin\\32bit\\Tarsel32.exe");
    std::string out;

    // The product's frame: the flow runs inside Create and has posted quit.
    auto* frame = new CMainFrameWnd();
    HWND hwnd = frame->Create(nullptr, L"probe", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, 0);
    out += "created=" + Flag(hwnd != nullptr) + "\n";
    out += "launches=" + std::to_string(g_launches) + "\n";
    out += "late_dlls_at_launch=" + g_lateDllsAtFirstLaunch + "\n";
    out += "quit_after_create=" + Flag(TakeQuit()) + "\n";
    out += "archive=" + Util::WideToUtf8(TarselUI::CPaintManagerUI::GetResourceZip().GetData()) + "\n";

    // The system menu's close ends the loop and keeps the window.
    ::SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    out += "quit_after_sysclose=" + Flag(TakeQuit()) + "\n";
    out += "window_after_sysclose=" + Flag(::IsWindow(hwnd) != FALSE) + "\n";

    // Destroying the window deletes the frame, whose destructor posts quit.
    ::DestroyWindow(hwnd);
    out += "quit_after_destroy=" + Flag(TakeQuit()) + "\n";

    // Caption buttons swap with the maximised state.
    auto* buttons = new FrameWithButtons();
    HWND second = buttons->Create(nullptr, L"buttons", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, 0);
    TakeQuit();
    ::SendMessageW(second, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    out += "maximised=" + Flag(::IsZoomed(second) != FALSE) + "\n";
    out += "max_visible_when_maximised=" + Flag(buttons->Visible(L"maxbtn")) + "\n";
    out += "restore_visible_when_maximised=" + Flag(buttons->Visible(L"restorebtn")) + "\n";
    ::SendMessageW(second, WM_SYSCOMMAND, SC_RESTORE, 0);
    out += "max_visible_when_restored=" + Flag(buttons->Visible(L"maxbtn")) + "\n";
    out += "restore_visible_when_restored=" + Flag(buttons->Visible(L"restorebtn")) + "\n";
    out += "launches_total=" + std::to_string(g_launches) + "\n";
    ::DestroyWindow(second);

    const std::wstring path = Util::GetModuleDir() + L"probe.txt";
    Util::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    return 0;
}
