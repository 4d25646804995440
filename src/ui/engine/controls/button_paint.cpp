// The button's state images, in-memory state bitmaps and text colours.

#include <cstdlib>
#include <utility>

#include "ui/engine/controls/button.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/bitmap_copy.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

// Both setters copy their text first: it may be a getter's, that is, one of
// the strings they clear (SetNormalImage(GetNormalImage(), bitmap)).
void CButtonUI::SetStateImage(CUIString& descriptor, StateBitmap* bitmap, LPCWSTR pStrImage) {
    const CUIString image(pStrImage ? pStrImage : L"");
    if (bitmap) {
        if (m_pManager && !bitmap->name.IsEmpty()) m_pManager->RemoveImage(bitmap->name);
        bitmap->name.Empty();
        bitmap->bitmap.reset();
    }
    descriptor = image;
    Invalidate();
}

void CButtonUI::SetStateBitmap(CUIString& descriptor, StateBitmap& bitmap, LPCWSTR pStrName, HBITMAP hBitmap) {
    const CUIString name(pStrName ? pStrName : L"");
    if (m_pManager && !descriptor.IsEmpty()) m_pManager->RemoveImage(descriptor);
    descriptor.Empty();
    bitmap.name = name;
    bitmap.bitmap = CopyBitmap(hBitmap);
    Invalidate();
}

void CButtonUI::SetNormalImage(LPCWSTR pStrImage) { SetStateImage(m_sNormalImage, &m_normalBitmap, pStrImage); }
void CButtonUI::SetHotImage(LPCWSTR pStrImage) { SetStateImage(m_sHotImage, &m_hotBitmap, pStrImage); }
void CButtonUI::SetPushedImage(LPCWSTR pStrImage) { SetStateImage(m_sPushedImage, &m_pushedBitmap, pStrImage); }
void CButtonUI::SetFocusedImage(LPCWSTR pStrImage) { SetStateImage(m_sFocusedImage, nullptr, pStrImage); }
void CButtonUI::SetDisabledImage(LPCWSTR pStrImage) {
    SetStateImage(m_sDisabledImage, &m_disabledBitmap, pStrImage);
}
void CButtonUI::SetForeImage(LPCWSTR pStrImage) { SetStateImage(m_sForeImage, nullptr, pStrImage); }
void CButtonUI::SetHotForeImage(LPCWSTR pStrImage) { SetStateImage(m_sHotForeImage, nullptr, pStrImage); }
void CButtonUI::SetPushedForeImage(LPCWSTR pStrImage) { SetStateImage(m_sPushedForeImage, nullptr, pStrImage); }

void CButtonUI::SetNormalImage(LPCWSTR pStrName, HBITMAP hBitmap) {
    SetStateBitmap(m_sNormalImage, m_normalBitmap, pStrName, hBitmap);
}
void CButtonUI::SetHotImage(LPCWSTR pStrName, HBITMAP hBitmap) {
    SetStateBitmap(m_sHotImage, m_hotBitmap, pStrName, hBitmap);
}
void CButtonUI::SetPushedImage(LPCWSTR pStrName, HBITMAP hBitmap) {
    SetStateBitmap(m_sPushedImage, m_pushedBitmap, pStrName, hBitmap);
}
void CButtonUI::SetDisabledImage(LPCWSTR pStrName, HBITMAP hBitmap) {
    SetStateBitmap(m_sDisabledImage, m_disabledBitmap, pStrName, hBitmap);
}

void CButtonUI::UpdateStateBits() {
    if (IsFocused()) {
        m_uButtonState |= UISTATE_FOCUSED;
    } else {
        m_uButtonState &= ~UISTATE_FOCUSED;
    }
    if (!IsEnabled()) {
        m_uButtonState |= UISTATE_DISABLED;
    } else {
        m_uButtonState &= ~UISTATE_DISABLED;
    }
}

bool CButtonUI::DrawState(HDC hDC, CUIString& descriptor, StateBitmap* bitmap) {
    if (bitmap && bitmap->bitmap) {
        if (DrawImage(hDC, bitmap->name, static_cast<HBITMAP>(bitmap->bitmap.get()))) return true;
        bitmap->name.Empty();
        bitmap->bitmap.reset();
        return false;
    }
    if (descriptor.IsEmpty()) return false;
    if (DrawImage(hDC, descriptor)) return true;
    descriptor.Empty();
    return false;
}

void CButtonUI::DrawFore(HDC hDC, CUIString* preferred) {
    if (preferred && !preferred->IsEmpty()) {
        if (!DrawImage(hDC, *preferred)) preferred->Empty();
        return;
    }
    if (!m_sForeImage.IsEmpty() && !DrawImage(hDC, m_sForeImage)) m_sForeImage.Empty();
}

void CButtonUI::PaintStatusImage(HDC hDC) {
    UpdateStateBits();
    if ((m_uButtonState & UISTATE_DISABLED) != 0) {
        if (DrawState(hDC, m_sDisabledImage, &m_disabledBitmap)) {
            DrawFore(hDC, nullptr);
            return;
        }
    } else if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        if (DrawState(hDC, m_sPushedImage, &m_pushedBitmap)) {
            DrawFore(hDC, &m_sPushedForeImage);
            return;
        }
    } else if ((m_uButtonState & UISTATE_HOT) != 0) {
        if (DrawState(hDC, m_sHotImage, &m_hotBitmap)) {
            DrawFore(hDC, &m_sHotForeImage);
            return;
        }
        if (m_dwHotBkColor != 0) {
            CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwHotBkColor));
            return;
        }
    } else if ((m_uButtonState & UISTATE_FOCUSED) != 0) {
        if (DrawState(hDC, m_sFocusedImage, nullptr)) {
            DrawFore(hDC, nullptr);
            return;
        }
    }
    DrawState(hDC, m_sNormalImage, &m_normalBitmap);
    DrawFore(hDC, nullptr);
}

void CButtonUI::PaintText(HDC hDC) {
    UpdateStateBits();
    FillInDefaultColors();
    if (m_sText.IsEmpty()) return;
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;

    DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if ((m_uButtonState & UISTATE_PUSHED) != 0 && m_dwPushedTextColor != 0) {
        color = m_dwPushedTextColor;
    } else if ((m_uButtonState & UISTATE_HOT) != 0 && m_dwHotTextColor != 0) {
        color = m_dwHotTextColor;
    } else if ((m_uButtonState & UISTATE_FOCUSED) != 0 && m_dwFocusedTextColor != 0) {
        color = m_dwFocusedTextColor;
    }
    if (m_bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, links, m_uTextStyle);
    } else {
        CRenderEngine::DrawTextW(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

}  // namespace TarselUI
