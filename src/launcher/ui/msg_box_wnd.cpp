#include "launcher/ui/msg_box_wnd.h"

#include <new>

#include "launcher/registry.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/markup/markup.h"
#include "util/diagnostics.h"

using TarselUI::CControlUI;
using TarselUI::CUIString;

namespace {

constexpr wchar_t kForcedUpdateText[] = L"检测到新版本，请升级后使用！";
constexpr DWORD kBoxStyle = WS_POPUP | WS_VISIBLE | WS_OVERLAPPEDWINDOW;

}  // namespace

CMsgBoxWnd* CMsgBoxWnd::s_pCurrent = nullptr;

int MsgBoxResultForButton(LPCWSTR name) {
    struct Answer {
        LPCWSTR name;
        int result;
    };
    static const Answer kAnswers[] = {
        {L"closebtn", IDCANCEL}, {L"btnOK", IDOK}, {L"btnCancel", IDCANCEL}, {L"btnYes", IDYES}, {L"btnNo", IDNO},
    };
    if (!name) return 0;
    for (const Answer& answer : kAnswers) {
        if (::lstrcmpW(name, answer.name) == 0) return answer.result;
    }
    return 0;
}

CMsgBoxWnd::CMsgBoxWnd(HWND hOwner, LPCWSTR text, LPCWSTR caption, UINT style)
    : m_hOwner(hOwner), m_sText(text ? text : L""), m_sCaption(caption ? caption : L""), m_uStyle(style) {
    s_pCurrent = this;
}

CMsgBoxWnd::~CMsgBoxWnd() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

CMsgBoxWnd* CMsgBoxWnd::Current() { return s_pCurrent; }

int CMsgBoxWnd::Show(HWND hOwner, LPCWSTR text, LPCWSTR caption, UINT style) {
    if (s_pCurrent) {
        ::SetForegroundWindow(s_pCurrent->GetHWND());
        return IDCANCEL;
    }
    // Deletes itself when its window is destroyed (OnFinalMessage).
    auto* box = new (std::nothrow) CMsgBoxWnd(hOwner, text, caption, style);
    if (!box) return kMessageBoxNoAnswer;
    if (!box->Create(hOwner, box->m_sCaption, kBoxStyle, 0, 0, 0, 0, 0)) {
        // Unless creation got far enough to send the final message (which
        // deletes the box and clears the record), nobody else frees it.
        if (s_pCurrent == box) delete box;
        Util::DebugLine("[****] update box not created\n");
        // Not a button: nobody was asked.
        return kMessageBoxNoAnswer;
    }
    box->CenterWindow();
    return static_cast<int>(box->ShowModal());
}

LRESULT CMsgBoxWnd::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    // The window host ends the whole process when a skin cannot be built,
    // after a system message box nobody may be there to answer. A box
    // without its skin is a box that could not be created: refuse the
    // window instead, so the caller gets no answer and goes on.
    const CUIString resourcePath = TarselUI::CPaintManagerUI::GetInstancePath() + GetSkinDir();
    TarselUI::CPaintManagerUI::SetResourcePath(resourcePath.GetData());
    TarselUI::CMarkup skin;
    if (!skin.LoadFromFile(GetSkinXml())) {
        Util::DebugLine("[****] update box skin missing\n");
        bHandled = TRUE;
        return -1;
    }
    return WindowImplBase::OnCreate(uMsg, wParam, lParam, bHandled);
}

LPCWSTR CMsgBoxWnd::GetWindowClassName() const { return L"UIMessageboxWnd"; }

LRESULT CMsgBoxWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    // The whole box is caption band: a double-click must not maximise it.
    if (uMsg == WM_NCLBUTTONDBLCLK) return 0;
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CMsgBoxWnd::OnFinalMessage(HWND hWnd) {
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

void CMsgBoxWnd::InitWindow() {
    m_pCloseBtn = m_PaintManager.FindControl(L"closebtn");
    if (m_uStyle != MB_OKCANCEL) return;
    CControlUI* yes = m_PaintManager.FindControl(L"btnYes");
    CControlUI* no = m_PaintManager.FindControl(L"btnNo");
    CControlUI* ok = m_PaintManager.FindControl(L"btnOK");
    CControlUI* cancel = m_PaintManager.FindControl(L"btnCancel");
    CControlUI* tip = m_PaintManager.FindControl(L"tiptext");
    if (!yes || !no || !ok || !cancel || !tip) return;
    yes->SetVisible(false);
    no->SetVisible(false);
    ok->SetVisible(true);
    cancel->SetVisible(true);
    tip->SetText(kForcedUpdateText);
}

void CMsgBoxWnd::OnClick(TarselUI::TNotifyUI& msg) {
    if (!msg.pSender) return;
    const int result = MsgBoxResultForButton(msg.pSender->GetName());
    if (result != 0) Close(static_cast<UINT>(result));
}

CUIString CMsgBoxWnd::GetSkinDir() { return L"Res\\"; }

CUIString CMsgBoxWnd::GetSkinXml() { return L"MsgBox\\UpdateHintBox.xml"; }

TarselUI::UILIB_RESOURCETYPE CMsgBoxWnd::GetResourceType() const { return TarselUI::RESTYPE_FILE; }

CUIString CMsgBoxWnd::GetZIPFileName() const { return L"Res.dll"; }

LRESULT CMsgBoxWnd::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT CMsgBoxWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (wParam == SC_CLOSE) {
        Close(IDOK);
        bHandled = TRUE;
        return 0;
    }
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}
