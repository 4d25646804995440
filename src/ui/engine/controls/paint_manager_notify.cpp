// Notifications: delivered at once or queued until the window's next message.

#include <new>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

void CPaintManagerUI::SendNotify(CControlUI* pControl, LPCWSTR pstrMessage, WPARAM wParam, LPARAM lParam,
                                 bool bAsync) {
    TNotifyUI msg{};
    msg.pSender = pControl;
    msg.sType = pstrMessage ? pstrMessage : L"";
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, bAsync);
}

void CPaintManagerUI::SendNotify(TNotifyUI& Msg, bool bAsync) {
    Msg.ptMouse = m_ptLastMousePos;
    Msg.dwTimestamp = ::GetTickCount();
    if (m_bUsedVirtualWnd) Msg.sVirtualWnd = Msg.pSender ? Msg.pSender->GetVirtualWnd() : CUIString();
    if (!bAsync) {
        if (Msg.pSender) Msg.pSender->OnNotify(&Msg);
        for (int i = 0; i < m_aNotifiers.GetSize(); ++i) static_cast<INotifyUI*>(m_aNotifiers.GetAt(i))->Notify(Msg);
        return;
    }
    auto* queued = new (std::nothrow) TNotifyUI{};
    if (!queued) return;
    queued->sType = Msg.sType;
    queued->pSender = Msg.pSender;
    queued->wParam = Msg.wParam;
    queued->lParam = Msg.lParam;
    queued->ptMouse = Msg.ptMouse;
    queued->dwTimestamp = Msg.dwTimestamp;
    if (!m_aAsyncNotify.Add(queued)) delete queued;
}

}  // namespace TarselUI
