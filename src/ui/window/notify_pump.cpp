#include "ui/window/notify_pump.h"

#include "ui/engine/controls/control.h"

namespace TarselUI {

namespace {

bool IsEmptyText(LPCWSTR text) { return !text || !*text; }

bool SameText(LPCWSTR a, LPCWSTR b) { return ::lstrcmpW(a ? a : L"", b ? b : L"") == 0; }

// The root of every chain: no entries.
const TNotifyMapEntry kNoEntries[] = {{nullptr, nullptr, UISIG_END, nullptr, nullptr}};
const TNotifyMap kRootMap = {nullptr, kNoEntries};

}  // namespace

const TNotifyMapEntry* FindNotifyMapEntry(const TNotifyMapEntry* entries, LPCWSTR type, LPCWSTR senderName) {
    const TNotifyMapEntry* anyControl = nullptr;
    for (const TNotifyMapEntry* entry = entries; entry->nSig != UISIG_END; ++entry) {
        if (!SameText(entry->sMsgType, type)) continue;
        if (IsEmptyText(entry->sCtrlName)) {
            anyControl = entry;  // the last one for any control counts
        } else if (SameText(entry->sCtrlName, senderName)) {
            return entry;
        }
    }
    return anyControl;
}

const TNotifyMap* CNotifyPump::GetThisMessageMap() { return &kRootMap; }

const TNotifyMap* CNotifyPump::GetMessageMap() const { return GetThisMessageMap(); }

bool CNotifyPump::AddVirtualWnd(LPCWSTR strName, CNotifyPump* pObject) {
    if (IsEmptyText(strName) || !pObject) return false;
    if (m_VirtualWndMap.Find(strName) != nullptr) return false;
    return m_VirtualWndMap.Insert(strName, pObject);
}

bool CNotifyPump::RemoveVirtualWnd(LPCWSTR strName) {
    if (IsEmptyText(strName)) return false;
    return m_VirtualWndMap.Remove(strName);
}

void CNotifyPump::NotifyPump(TNotifyUI& msg) {
    if (!msg.sVirtualWnd.IsEmpty()) {
        for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
            LPCWSTR key = m_VirtualWndMap.GetAt(i);
            if (!key || msg.sVirtualWnd.CompareNoCase(key) != 0) continue;
            auto* pump = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(key, false));
            if (pump && pump->LoopDispatch(msg)) return;
        }
    }
    LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
    const CUIString senderName = msg.pSender ? msg.pSender->GetName() : CUIString();
    for (const TNotifyMap* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        const TNotifyMapEntry* entry = FindNotifyMapEntry(map->lpEntries, msg.sType, senderName);
        if (!entry) continue;
        switch (entry->nSig) {
            case UISIG_WPARAM_LPARAM:
                (this->*entry->pfnParams)(msg.wParam, msg.lParam);
                return true;
            case UISIG_NOTIFY:
                (this->*entry->pfnNotify)(msg);
                return true;
            default:
                return false;
        }
    }
    return false;
}

}  // namespace TarselUI
