// The paint pass: layout when due, the first-layout notification, and
// off-screen painting of the tree.

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

namespace {
// A control whose SetPos never clears its flag must not hang the window.
constexpr int kMaxLayoutRounds = 100000;
}  // namespace

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromUpdate(CControlUI* pThis, LPVOID) {
    return pThis->IsUpdateNeeded() ? pThis : nullptr;
}

void CPaintManagerUI::ExecPaint() {
    RECT rcUpdate{};
    if (!::GetUpdateRect(m_hWndPaint, &rcUpdate, FALSE)) return;
    if (!m_pRoot) {
        PAINTSTRUCT ps{};
        ::BeginPaint(m_hWndPaint, &ps);
        ::EndPaint(m_hWndPaint, &ps);
        return;
    }

    bool firstLayoutNow = false;
    if (m_bUpdateNeeded) {
        m_bUpdateNeeded = false;
        RECT client{};
        ::GetClientRect(m_hWndPaint, &client);
        if (!::IsRectEmpty(&client)) {
            if (m_pRoot->IsUpdateNeeded()) {
                m_pRoot->SetPos(client);
                DeleteOffscreen();
            } else {
                for (int round = 0; round < kMaxLayoutRounds; ++round) {
                    CControlUI* control =
                        m_pRoot->FindControl(__FindControlFromUpdate, nullptr, UIFIND_VISIBLE | UIFIND_ME_FIRST);
                    if (!control) break;
                    control->SetPos(control->GetPos());
                }
            }
            if (m_bFirstLayout) {
                m_bFirstLayout = false;
                firstLayoutNow = true;
                SendNotify(m_pRoot, L"windowinit", 0, 0, false);
                if (!m_pRoot) {  // the host dropped the tree
                    ::ValidateRect(m_hWndPaint, nullptr);
                    return;
                }
            }
        }
    }
    if (m_bFocusNeeded) SetNextTabControl(false);

    RECT client{};
    ::GetClientRect(m_hWndPaint, &client);
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (m_bOffscreenPaint && !m_hbmpOffscreen && width > 0 && height > 0) {
        m_hDcOffscreen.reset(::CreateCompatibleDC(m_hDcPaint));
        m_hbmpOffscreen.reset(::CreateCompatibleBitmap(m_hDcPaint, width, height));
    }

    PAINTSTRUCT ps{};
    ::BeginPaint(m_hWndPaint, &ps);
    const RECT& rcPaint = ps.rcPaint;
    const int paintW = rcPaint.right - rcPaint.left, paintH = rcPaint.bottom - rcPaint.top;
    if (m_bOffscreenPaint && m_hDcOffscreen && m_hbmpOffscreen) {
        HDC offscreen = m_hDcOffscreen.get();
        Util::SelectGuard selected(offscreen, m_hbmpOffscreen.get());
        const int saved = ::SaveDC(offscreen);
        if (m_bAlphaBackground) {
            if (!m_hbmpBackground) {
                m_hDcBackground.reset(::CreateCompatibleDC(m_hDcPaint));
                m_hbmpBackground.reset(::CreateCompatibleBitmap(m_hDcPaint, width, height));
                if (m_hDcBackground && m_hbmpBackground) {
                    ::SelectObject(m_hDcBackground.get(), m_hbmpBackground.get());
                    ::BitBlt(m_hDcBackground.get(), rcPaint.left, rcPaint.top, paintW, paintH, ps.hdc, rcPaint.left,
                             rcPaint.top, SRCCOPY);
                }
            }
            if (m_hDcBackground) {
                ::BitBlt(offscreen, rcPaint.left, rcPaint.top, paintW, paintH, m_hDcBackground.get(), rcPaint.left,
                         rcPaint.top, SRCCOPY);
            }
        }
        m_pRoot->DoPaint(offscreen, rcPaint);
        for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
            static_cast<CControlUI*>(m_aPostPaintControls.GetAt(i))->DoPostPaint(offscreen, rcPaint);
        }
        ::RestoreDC(offscreen, saved);
        ::BitBlt(ps.hdc, rcPaint.left, rcPaint.top, paintW, paintH, offscreen, rcPaint.left, rcPaint.top, SRCCOPY);
    } else {
        m_pRoot->DoPaint(ps.hdc, rcPaint);
        for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
            static_cast<CControlUI*>(m_aPostPaintControls.GetAt(i))->DoPostPaint(ps.hdc, rcPaint);
        }
    }
    if (m_bShowUpdateRect) {
        Util::UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
        Util::SelectGuard penSelected(ps.hdc, pen.get());
        Util::SelectGuard brushSelected(ps.hdc, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(ps.hdc, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
    }
    ::EndPaint(m_hWndPaint, &ps);

    if (firstLayoutNow && m_bShadowEnabled) ::SendMessageW(m_hWndPaint, UIMSG_INIT_SHADOW, 0, 0);
}

}  // namespace TarselUI
