// The control base: state, setters with their change notices, visibility,
// position, events, searching and initialisation.

#include "ui/engine/controls/control.h"

#include <cwchar>

#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    OnDestroy(this);
    if (m_pManager) m_pManager->ReapObjects(this);
}

CUIString CControlUI::GetName() const { return m_sName; }
void CControlUI::SetName(LPCWSTR pstrName) { m_sName = pstrName ? pstrName : L""; }
LPCWSTR CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"Control") == 0) return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CPaintManagerUI* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    m_pManager = pManager;
    m_pParent = pParent;
    if (bInit && m_pParent) Init();
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }
CUIString CControlUI::GetText() const { return m_sText; }

void CControlUI::SetText(LPCWSTR pstrText) {
    if (m_sText == (pstrText ? pstrText : L"")) return;
    m_sText = pstrText ? pstrText : L"";
    Invalidate();
}

const RECT& CControlUI::GetPos() const { return m_rcItem; }
int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }

void CControlUI::SetPos(RECT rc) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;

    CUIRect invalidate = m_rcItem;
    if (::IsRectEmpty(&invalidate)) invalidate = rc;
    m_rcItem = rc;
    if (!m_pManager) return;

    if (!m_bSetPos) {
        m_bSetPos = true;
        OnSize(this);
        m_bSetPos = false;
    }

    if (m_bFloat && m_pParent) {
        const RECT& parent = m_pParent->GetPos();
        m_cXY.cx = m_cXY.cx >= 0 ? m_rcItem.left - parent.left : m_rcItem.right - parent.right;
        m_cXY.cy = m_cXY.cy >= 0 ? m_rcItem.top - parent.top : m_rcItem.bottom - parent.bottom;
        m_cxyFixed.cx = m_rcItem.right - m_rcItem.left;
        m_cxyFixed.cy = m_rcItem.bottom - m_rcItem.top;
    }

    m_bUpdateNeeded = false;
    invalidate.Join(m_rcItem);
    for (CControlUI* ancestor = m_pParent; ancestor; ancestor = ancestor->GetParent()) {
        RECT ancestorRect = ancestor->GetPos();
        if (!::IntersectRect(&invalidate, &invalidate, &ancestorRect)) return;
    }
    m_pManager->Invalidate(invalidate);
}

RECT CControlUI::GetPadding() const { return m_rcPadding; }

void CControlUI::SetPadding(RECT rcPadding) {
    m_rcPadding = rcPadding;
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return m_cXY; }

namespace {
// Size changes relayout the control itself when it floats, else its parent.
void SizeChanged(CControlUI& control, bool floating) {
    if (floating) {
        control.NeedUpdate();
    } else {
        control.NeedParentUpdate();
    }
}
}  // namespace

void CControlUI::SetFixedXY(SIZE szXY) {
    m_cXY = szXY;
    SizeChanged(*this, m_bFloat);
}

int CControlUI::GetFixedWidth() const { return m_cxyFixed.cx; }

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) return;
    m_cxyFixed.cx = cx;
    SizeChanged(*this, m_bFloat);
}

int CControlUI::GetFixedHeight() const { return m_cxyFixed.cy; }

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) return;
    m_cxyFixed.cy = cy;
    SizeChanged(*this, m_bFloat);
}

int CControlUI::GetMinWidth() const { return m_cxyMin.cx; }

void CControlUI::SetMinWidth(int cx) {
    if (m_cxyMin.cx == cx || cx < 0) return;
    m_cxyMin.cx = cx;
    SizeChanged(*this, m_bFloat);
}

int CControlUI::GetMaxWidth() const { return m_cxyMax.cx; }

void CControlUI::SetMaxWidth(int cx) {
    if (m_cxyMax.cx == cx || cx < 0) return;
    m_cxyMax.cx = cx;
    SizeChanged(*this, m_bFloat);
}

int CControlUI::GetMinHeight() const { return m_cxyMin.cy; }

void CControlUI::SetMinHeight(int cy) {
    if (m_cxyMin.cy == cy || cy < 0) return;
    m_cxyMin.cy = cy;
    SizeChanged(*this, m_bFloat);
}

int CControlUI::GetMaxHeight() const { return m_cxyMax.cy; }

void CControlUI::SetMaxHeight(int cy) {
    if (m_cxyMax.cy == cy || cy < 0) return;
    m_cxyMax.cy = cy;
    SizeChanged(*this, m_bFloat);
}

void CControlUI::SetRelativePos(SIZE szMove, SIZE szZoom) {
    m_tRelativePos.bRelative = true;
    m_tRelativePos.nMoveXPercent = szMove.cx;
    m_tRelativePos.nMoveYPercent = szMove.cy;
    m_tRelativePos.nZoomXPercent = szZoom.cx;
    m_tRelativePos.nZoomYPercent = szZoom.cy;
}

void CControlUI::SetRelativeParentSize(SIZE sz) { m_tRelativePos.szParent = sz; }
TRelativePosUI CControlUI::GetRelativePos() const { return m_tRelativePos; }
bool CControlUI::IsRelativePos() const { return m_tRelativePos.bRelative; }

CUIString CControlUI::GetToolTip() const { return m_sToolTip; }

void CControlUI::SetToolTip(LPCWSTR pstrText) {
    CUIString text(pstrText ? pstrText : L"");
    text.Replace(L"<n>", L"\r\n");
    m_sToolTip = text;
}

void CControlUI::SetToolTipWidth(int nWidth) { m_nTooltipWidth = nWidth; }
int CControlUI::GetToolTipWidth() const { return m_nTooltipWidth; }
wchar_t CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(wchar_t ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuUsed(bool bMenuUsed) { m_bMenuUsed = bMenuUsed; }
const CUIString& CControlUI::GetUserData() { return m_sUserData; }
void CControlUI::SetUserData(LPCWSTR pstrText) { m_sUserData = pstrText ? pstrText : L""; }
UINT_PTR CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(UINT_PTR pTag) { m_pTag = pTag; }

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }

void CControlUI::SetVisible(bool bVisible) {
    if (m_bVisible == bVisible) return;
    const bool wasVisible = IsVisible();
    m_bVisible = bVisible;
    if (m_bFocused) m_bFocused = false;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
    if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool bVisible) {
    m_bInternVisible = bVisible;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool bEnabled) {
    if (m_bEnabled == bEnabled) return;
    m_bEnabled = bEnabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool bEnabled) { m_bMouseEnabled = bEnabled; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool bEnabled) { m_bKeyboardEnabled = bEnabled; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus() {
    if (m_pManager) m_pManager->SetFocus(this);
}

bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool bFloat) {
    if (m_bFloat == bFloat) return;
    m_bFloat = bFloat;
    NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) != 0) {
        if (!m_bMouseEnabled) return nullptr;
        const POINT pt = *static_cast<const POINT*>(pData);
        if (!::PtInRect(&m_rcItem, pt)) return nullptr;
    }
    return Proc(this, pData);
}

void CControlUI::Init() {
    DoInit();
    OnInit(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(TEventUI& event) {
    if (OnEvent(&event)) DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_CONTEXTMENU && IsContextMenuUsed()) {
        if (m_pManager) m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_SETCURSOR) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    }
    if (event.Type == UIEVENT_TIMER) {
        if (m_pManager) m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    }
    if (m_pParent) m_pParent->DoEvent(event);
}

SIZE CControlUI::EstimateSize(SIZE) { return m_cxyFixed; }

CUIString CControlUI::GetVirtualWnd() const {
    if (!m_sVirtualWnd.IsEmpty()) return m_sVirtualWnd;
    return m_pParent ? m_pParent->GetVirtualWnd() : CUIString();
}

void CControlUI::SetVirtualWnd(LPCWSTR pstrValue) {
    m_sVirtualWnd = pstrValue ? pstrValue : L"";
    if (m_pManager) m_pManager->UsedVirtualWnd(true);
}

void CControlUI::Invalidate() {
    if (!IsVisible()) return;
    RECT invalidate = m_rcItem;
    for (CControlUI* ancestor = m_pParent; ancestor; ancestor = ancestor->GetParent()) {
        RECT ancestorRect = ancestor->GetPos();
        if (!::IntersectRect(&invalidate, &invalidate, &ancestorRect)) return;
    }
    if (m_pManager) m_pManager->Invalidate(invalidate);
}

void CControlUI::NeedUpdate() {
    if (!IsVisible()) return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (m_pParent) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager) m_pManager->NeedUpdate();
}

}  // namespace TarselUI
