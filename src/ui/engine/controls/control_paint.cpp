// The paint sequence: background colour, background image, state image,
// text, border.

#include <cstdlib>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

DWORD CControlUI::GetAdjustColor(DWORD dwColor) const {
    if (!m_bColorHSL) return dwColor;
    short h = 180, s = 100, l = 100;
    CPaintManagerUI::GetHSL(&h, &s, &l);
    return CRenderEngine::AdjustColor(dwColor, h, s, l);
}

bool CControlUI::DrawImage(HDC hDC, LPCWSTR pStrImage, LPCWSTR pStrModify) {
    bool missing = false;
    if (!CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, pStrImage, pStrModify, &missing)) {
        return false;
    }
    return !missing;
}

bool CControlUI::DrawImage(HDC hDC, LPCWSTR pStrName, HBITMAP hBitmap, LPCWSTR) {
    if (!hDC || !hBitmap || !pStrName || !*pStrName) return false;
    BITMAP info{};
    if (::GetObjectW(hBitmap, sizeof info, &info) != sizeof info) return false;
    const RECT source{0, 0, info.bmWidth, std::abs(info.bmHeight)};
    CRenderEngine::DrawImage(hDC, hBitmap, m_rcItem, m_rcPaint, source, RECT{0, 0, 0, 0}, false);
    return true;
}

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
    auto sequence = [&] {
        PaintBkColor(hDC);
        PaintBkImage(hDC);
        PaintStatusImage(hDC);
        PaintText(hDC);
        PaintBorder(hDC);
    };
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
        CRenderClip roundClip;
        CRenderClip::GenerateRoundClip(hDC, m_rcPaint, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy,
                                       roundClip);
        sequence();
    } else {
        sequence();
    }
}

void CControlUI::PaintBkColor(HDC hDC) {
    if (m_dwBackColor == 0) return;
    if (m_dwBackColor2 != 0) {
        if (m_dwBackColor3 != 0) {
            RECT upper = m_rcItem;
            upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
            CRenderEngine::DrawGradient(hDC, upper, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2),
                                        true, 8);
            RECT lower = m_rcItem;
            lower.top = upper.bottom;
            CRenderEngine::DrawGradient(hDC, lower, GetAdjustColor(m_dwBackColor2), GetAdjustColor(m_dwBackColor3),
                                        true, 8);
        } else {
            CRenderEngine::DrawGradient(hDC, m_rcItem, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2),
                                        true, 16);
        }
    } else if (m_dwBackColor >= 0xFF000000) {
        CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwBackColor));
    } else {
        // A translucent fill must cover the whole item: blending only the
        // repaint area would darken it more than the rest at every pass.
        CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwBackColor));
    }
}

void CControlUI::PaintBkImage(HDC hDC) {
    if (!m_hBkBitmap) {
        if (m_sBkImage.IsEmpty()) return;
        if (!DrawImage(hDC, m_sBkImage)) m_sBkImage.Empty();
        return;
    }
    if (!DrawImage(hDC, m_sBkBitmapName, static_cast<HBITMAP>(m_hBkBitmap.get()))) m_sBkBitmapName.Empty();
}

void CControlUI::PaintStatusImage(HDC) {}
void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC) {
    if (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0 && m_dwHotBorderColor == 0) return;
    const bool round = m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0;
    if (m_nBorderSize > 0 && round) {
        DWORD color = m_dwBorderColor;
        if (m_bHot && m_dwHotBorderColor != 0) {
            color = m_dwHotBorderColor;
        } else if (IsFocused() && m_dwFocusBorderColor != 0) {
            color = m_dwFocusBorderColor;
        } else if (m_bSelected && m_dwSelectedBorderColor != 0) {
            color = m_dwSelectedBorderColor;
        }
        CRenderEngine::DrawRoundRect(hDC, m_rcItem, m_nBorderSize, m_cxyBorderRound.cx, m_cxyBorderRound.cy,
                                     GetAdjustColor(color));
        return;
    }
    if (m_nBorderSize > 0) {
        DWORD stateColor = 0;
        if (m_bHot && m_dwHotBorderColor != 0) {
            stateColor = m_dwHotBorderColor;
        } else if (IsFocused() && m_dwFocusBorderColor != 0) {
            stateColor = m_dwFocusBorderColor;
        } else if (m_bSelected && m_dwSelectedBorderColor != 0) {
            stateColor = m_dwSelectedBorderColor;
        }
        if (stateColor != 0) {
            CRenderEngine::DrawRect(hDC, m_rcItem, m_nBorderSize, GetAdjustColor(stateColor));
            return;
        }
    }
    const RECT& sides = m_rcBorderSize;
    if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
        const DWORD color = GetAdjustColor(m_dwBorderColor);
        // Each side is the item rectangle collapsed onto that edge, drawn in
        // the order left, top, right, bottom.
        struct Side {
            LONG width;
            LONG RECT::*collapsed;  // the edge moved ...
            LONG RECT::*kept;       // ... onto this one
        };
        const Side order[] = {{sides.left, &RECT::right, &RECT::left},
                              {sides.top, &RECT::bottom, &RECT::top},
                              {sides.right, &RECT::left, &RECT::right},
                              {sides.bottom, &RECT::top, &RECT::bottom}};
        for (const Side& side : order) {
            if (side.width <= 0) continue;
            RECT line = m_rcItem;
            line.*side.collapsed = line.*side.kept;
            CRenderEngine::DrawLine(hDC, line, side.width, color, m_nBorderStyle);
        }
        return;
    }
    if (m_nBorderSize > 0) CRenderEngine::DrawRect(hDC, m_rcItem, m_nBorderSize, GetAdjustColor(m_dwBorderColor));
}

void CControlUI::DoPostPaint(HDC, const RECT&) {}

}  // namespace TarselUI
