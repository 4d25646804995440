// A manager's life: construction with the default font, attaching the
// window and the control tree, bookkeeping of controls, and teardown.

#include <cwchar>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/shadow_ui.h"

namespace TarselUI {

CPaintManagerUI::CPaintManagerUI() {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    if (!m_pStrDefaultFontName.IsEmpty()) {
        std::wcsncpy(lf.lfFaceName, m_pStrDefaultFontName, LF_FACESIZE - 1);
        lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    m_DefaultFontInfo.hFont = ::CreateFontIndirectW(&lf);
    if (!m_DefaultFontInfo.hFont) m_DefaultFontInfo.hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    m_DefaultFontInfo.sFontName = lf.lfFaceName;
    m_DefaultFontInfo.iSize = -lf.lfHeight;
    m_DefaultFontInfo.bBold = lf.lfWeight >= FW_BOLD;
    m_DefaultFontInfo.bUnderline = lf.lfUnderline != FALSE;
    m_DefaultFontInfo.bItalic = lf.lfItalic != FALSE;
}

CPaintManagerUI::~CPaintManagerUI() {
    for (int i = 0; i < m_aDelayedCleanup.GetSize(); ++i) delete static_cast<CControlUI*>(m_aDelayedCleanup.GetAt(i));
    m_aDelayedCleanup.Empty();
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) delete static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(i));
    m_aAsyncNotify.Empty();
    m_mNameHash.Resize(0);
    CControlUI* root = m_pRoot;
    m_pRoot = nullptr;
    delete root;

    // The stock font stands in when creation failed; it is never deleted.
    if (m_DefaultFontInfo.hFont != static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))) {
        ::DeleteObject(m_DefaultFontInfo.hFont);
    }
    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllDefaultAttributeList();
    RemoveAllOptionGroups();
    RemoveAllTimers();
    if (m_hwndTooltip) ::DestroyWindow(m_hwndTooltip);
    DeleteOffscreen();
    if (m_hDcPaint) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    const int index = m_aPreMessages.Find(this);
    if (index >= 0) m_aPreMessages.Remove(index);
}

void CPaintManagerUI::DeleteOffscreen() {
    m_hDcOffscreen.reset();
    m_hDcBackground.reset();
    m_hbmpOffscreen.reset();
    m_hbmpBackground.reset();
}

void CPaintManagerUI::Init(HWND hWnd) {
    if (!hWnd) return;
    if (m_hDcPaint) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_hWndPaint = hWnd;
    m_hDcPaint = ::GetDC(hWnd);
    if (m_aPreMessages.Find(this) < 0) m_aPreMessages.Add(this);
}

SIZE CPaintManagerUI::GetClientSize() const {
    RECT client{};
    ::GetClientRect(m_hWndPaint, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

void CPaintManagerUI::Invalidate(RECT& rcItem) {
    if (m_hWndPaint) ::InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

void CPaintManagerUI::Invalidate() {
    if (m_hWndPaint) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

bool CPaintManagerUI::AttachDialog(CControlUI* pControl) {
    SetFocus(nullptr);
    m_pEventKey = nullptr;
    m_pEventHover = nullptr;
    m_pEventClick = nullptr;
    if (m_pRoot) {
        m_aPostPaintControls.Empty();
        AddDelayedCleanup(m_pRoot);
    }
    m_pRoot = pControl;
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    m_bFocusNeeded = true;
    if (!m_pShadow) m_pShadow = std::make_unique<CShadowUI>();
    m_pShadow->Create(this);
    return InitControls(pControl);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent) {
    if (!pControl) return false;
    pControl->SetManager(this, pParent ? pParent : pControl->GetParent(), true);
    pControl->FindControl(__FindControlFromNameHash, this, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl) {
    if (!pControl) return;
    if (pControl == m_pEventKey) m_pEventKey = nullptr;
    if (pControl == m_pEventHover) m_pEventHover = nullptr;
    if (pControl == m_pEventClick) m_pEventClick = nullptr;
    if (pControl == m_pFocus) m_pFocus = nullptr;
    if (pControl == m_pRoot) m_pRoot = nullptr;
    KillTimer(pControl);
    const CUIString name = pControl->GetName();
    if (!name.IsEmpty() && m_mNameHash.Find(name, false) == pControl) m_mNameHash.Remove(name);
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
        auto* msg = static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(i));
        if (msg->pSender == pControl) msg->pSender = nullptr;
    }
    const int postPaint = m_aPostPaintControls.Find(pControl);
    if (postPaint >= 0) m_aPostPaintControls.Remove(postPaint);
}

void CPaintManagerUI::DeleteRoot() {
    CControlUI* root = m_pRoot;
    // Nothing may reach the tree through the root while it is torn down.
    m_pRoot = nullptr;
    m_aPostPaintControls.Empty();
    delete root;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* pControl) {
    if (!pControl) return;
    pControl->SetManager(this, nullptr, false);
    m_aDelayedCleanup.Add(pControl);
    if (m_hWndPaint) ::PostMessageW(m_hWndPaint, UIMSG_DELAYED_CLEANUP, 0, 0);
}

namespace {
bool RemoveFirst(CStdPtrArray& list, void* item) {
    const int index = list.Find(item);
    if (index < 0) return false;
    return list.Remove(index);
}
}  // namespace

bool CPaintManagerUI::AddNotifier(INotifyUI* pNotifier) { return m_aNotifiers.Add(pNotifier); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* pNotifier) { return RemoveFirst(m_aNotifiers, pNotifier); }
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* pFilter) { return m_aMessageFilters.Add(pFilter); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter) { return RemoveFirst(m_aMessageFilters, pFilter); }
bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* pFilter) { return m_aPreMessageFilters.Add(pFilter); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* pFilter) {
    return RemoveFirst(m_aPreMessageFilters, pFilter);
}
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator) {
    return m_aTranslateAccelerator.Add(pTranslateAccelerator);
}
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator) {
    return RemoveFirst(m_aTranslateAccelerator, pTranslateAccelerator);
}
bool CPaintManagerUI::AddPostPaint(CControlUI* pControl) { return m_aPostPaintControls.Add(pControl); }
bool CPaintManagerUI::RemovePostPaint(CControlUI* pControl) { return RemoveFirst(m_aPostPaintControls, pControl); }

bool CPaintManagerUI::SetPostPaintIndex(CControlUI* pControl, int iIndex) {
    RemovePostPaint(pControl);
    return m_aPostPaintControls.InsertAt(iIndex, pControl);
}

}  // namespace TarselUI
