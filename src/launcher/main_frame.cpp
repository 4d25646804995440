#include "launcher/main_frame.h"

#include "launcher/startup_timeline.h"
#include "ui/engine/controls/control.h"
#include "util/diagnostics.h"

using TarselUI::CControlUI;
using TarselUI::CUIString;

namespace {

// The frame is never shown and has no controls: without its skin archive
// it is built from this instead, so the launch flow still runs.
constexpr wchar_t kEmptyFrameSkin[] = L"<Window size=\"0,0\"><VerticalLayout /></Window>";

}  // namespace

CMainFrameWnd::~CMainFrameWnd() { ::PostQuitMessage(0); }

LPCWSTR CMainFrameWnd::GetWindowClassName() const {
    return L"_TarselMainLauncher_UIMainFrame_91A14DA2-59A7-4EB8-8EA6-325C9CB8B069";
}

UINT CMainFrameWnd::GetClassStyle() const { return CS_DBLCLKS; }

LRESULT CMainFrameWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CMainFrameWnd::OnFinalMessage(HWND hWnd) {
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

void CMainFrameWnd::InitWindow() {
    StartupTimeline::Mark("skin_built");
    m_PaintManager.SetDefaultFont(L"微软雅黑", 12, false, false, false);
    m_pCloseBtn = m_PaintManager.FindControl(L"closebtn");
    m_pMaxBtn = m_PaintManager.FindControl(L"maxbtn");
    m_pRestoreBtn = m_PaintManager.FindControl(L"restorebtn");
    m_pMinBtn = m_PaintManager.FindControl(L"minbtn");
    StartupTimeline::Mark("do_launch");
    m_launcher.DoLaunch();
}

CUIString CMainFrameWnd::GetSkinDir() { return L"Res\\"; }

CUIString CMainFrameWnd::GetSkinXml() { return m_bSkinMissing ? kEmptyFrameSkin : L"MainFrame.xml"; }

TarselUI::UILIB_RESOURCETYPE CMainFrameWnd::GetResourceType() const {
    return m_bSkinMissing ? TarselUI::RESTYPE_FILE : TarselUI::RESTYPE_ZIPRES;
}

LRESULT CMainFrameWnd::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    StartupTimeline::Mark("frame_wm_create");
    // Without the archive the window host would skip InitWindow, nothing
    // would run the launch flow or post quit, and an invisible process
    // would hold the single-instance mutex for ever. The flow does not need
    // the skin; the update box then reports that it could not be shown.
    if (!TarselUI::InstallZipResource(GetResourceID())) {
        Util::DebugLine("[****] skin archive resource missing, main frame built empty\n");
        m_bSkinMissing = true;
    }
    return WindowImplBase::OnCreate(uMsg, wParam, lParam, bHandled);
}

LPCWSTR CMainFrameWnd::GetResourceID() const { return MAKEINTRESOURCEW(kSkinArchiveResource); }

LRESULT CMainFrameWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (wParam == SC_CLOSE) {
        // Ends the message loop; the window itself stays until the process ends.
        ::PostQuitMessage(0);
        bHandled = TRUE;
        return 0;
    }
    // Every other command, with the maximise/restore button swap, as any
    // skinned frame does.
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

LRESULT CMainFrameWnd::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

void CMainFrameWnd::Notify(TarselUI::TNotifyUI& msg) {
    if (msg.sType == L"click" && msg.pSender) {
        if (msg.pSender == m_pCloseBtn) {
            Close(IDOK);
            return;
        }
        if (msg.pSender == m_pMinBtn) {
            PostMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
            // Give back memory while nobody looks at the window.
            ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
            return;
        }
        if (msg.pSender == m_pMaxBtn) {
            SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            return;
        }
        if (msg.pSender == m_pRestoreBtn) {
            SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

CControlUI* CMainFrameWnd::CreateControl(LPCWSTR, LPCWSTR) { return nullptr; }
