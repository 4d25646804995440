// Markup attributes and the style setters they reach.

#include <cstdlib>
#include <cwchar>
#include <utility>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/bitmap_copy.h"
#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

namespace {

bool ParseBool(LPCWSTR value) { return std::wcscmp(value, L"true") == 0; }

int ParseInt(LPCWSTR value) { return static_cast<int>(std::wcstol(value, nullptr, 10)); }

// Background colours allow whitespace before the optional '#'.
DWORD ParseBackgroundColor(LPCWSTR value) {
    while (*value > L'\0' && *value <= L' ') ++value;
    return ParseHexColor(value);
}

SIZE ParseSizeValue(LPCWSTR value) {
    long v[2];
    ParseIntList(value, v, 2);
    return SIZE{v[0], v[1]};
}

}  // namespace

void CControlUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    const CUIString name(pstrName);
    if (name == L"pos") {
        const RECT rc = ParseRectValue(pstrValue);
        SetFixedXY(SIZE{rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom});
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (name == L"relativepos") {
        const RECT rc = ParseRectValue(pstrValue);
        SetRelativePos(SIZE{rc.left, rc.top}, SIZE{rc.right, rc.bottom});
    } else if (name == L"padding") {
        SetPadding(ParseRectValue(pstrValue));
    } else if (name == L"bkcolor" || name == L"bkcolor1") {
        SetBkColor(ParseBackgroundColor(pstrValue));
    } else if (name == L"bkcolor2") {
        SetBkColor2(ParseBackgroundColor(pstrValue));
    } else if (name == L"bkcolor3") {
        SetBkColor3(ParseBackgroundColor(pstrValue));
    } else if (name == L"bordercolor") {
        SetBorderColor(ParseHexColor(pstrValue));
    } else if (name == L"focusbordercolor") {
        SetFocusBorderColor(ParseHexColor(pstrValue));
    } else if (name == L"hotbordercolor") {
        SetHotBorderColor(ParseHexColor(pstrValue));
    } else if (name == L"colorhsl") {
        SetColorHSL(ParseBool(pstrValue));
    } else if (name == L"bordersize") {
        if (std::wcschr(pstrValue, L',') == nullptr) {
            SetBorderSize(ParseInt(pstrValue));
            SetBorderSize(RECT{0, 0, 0, 0});
        } else {
            SetBorderSize(ParseRectValue(pstrValue));
        }
    } else if (name == L"leftbordersize") {
        SetLeftBorderSize(ParseInt(pstrValue));
    } else if (name == L"topbordersize") {
        SetTopBorderSize(ParseInt(pstrValue));
    } else if (name == L"rightbordersize") {
        SetRightBorderSize(ParseInt(pstrValue));
    } else if (name == L"bottombordersize") {
        SetBottomBorderSize(ParseInt(pstrValue));
    } else if (name == L"borderstyle") {
        SetBorderStyle(ParseInt(pstrValue));
    } else if (name == L"borderround") {
        SetBorderRound(ParseSizeValue(pstrValue));
    } else if (name == L"bkimage") {
        SetBkImage(pstrValue);
    } else if (name == L"width") {
        SetFixedWidth(ParseInt(pstrValue));
    } else if (name == L"height") {
        SetFixedHeight(ParseInt(pstrValue));
    } else if (name == L"minwidth") {
        SetMinWidth(ParseInt(pstrValue));
    } else if (name == L"minheight") {
        SetMinHeight(ParseInt(pstrValue));
    } else if (name == L"maxwidth") {
        SetMaxWidth(ParseInt(pstrValue));
    } else if (name == L"maxheight") {
        SetMaxHeight(ParseInt(pstrValue));
    } else if (name == L"name") {
        SetName(pstrValue);
    } else if (name == L"text") {
        SetText(pstrValue);
    } else if (name == L"tooltip") {
        SetToolTip(pstrValue);
    } else if (name == L"userdata") {
        SetUserData(pstrValue);
    } else if (name == L"enabled") {
        SetEnabled(ParseBool(pstrValue));
    } else if (name == L"mouse") {
        SetMouseEnabled(ParseBool(pstrValue));
    } else if (name == L"keyboard") {
        SetKeyboardEnabled(ParseBool(pstrValue));
    } else if (name == L"visible") {
        SetVisible(ParseBool(pstrValue));
    } else if (name == L"float") {
        SetFloat(ParseBool(pstrValue));
    } else if (name == L"shortcut") {
        SetShortcut(pstrValue[0]);
    } else if (name == L"menu") {
        SetContextMenuUsed(ParseBool(pstrValue));
    } else if (name == L"virtualwnd") {
        SetVirtualWnd(pstrValue);
    } else if (name == L"tag") {
        SetTag(static_cast<UINT_PTR>(ParseInt(pstrValue)));
    }
}

CControlUI* CControlUI::ApplyAttributeList(LPCWSTR pstrList) {
    if (!pstrList) return this;
    LPCWSTR p = pstrList;
    while (*p != L'\0') {
        LPCWSTR nameStart = p;
        while (*p != L'\0' && *p != L'=') ++p;
        const CUIString name(nameStart, static_cast<int>(p - nameStart));
        if (*p++ != L'=') return this;
        if (*p++ != L'"') return this;
        LPCWSTR valueStart = p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p != L'"') return this;
        const CUIString value(valueStart, static_cast<int>(p - valueStart));
        ++p;
        SetAttribute(name, value);
        if (*p != L' ' || p[1] == L'\0') return this;
        ++p;
    }
    return this;
}

void CControlUI::SetBkColor(DWORD dwBackColor) {
    if (m_dwBackColor == dwBackColor) return;
    m_dwBackColor = dwBackColor;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD dwBackColor) {
    if (m_dwBackColor2 == dwBackColor) return;
    m_dwBackColor2 = dwBackColor;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD dwBackColor) {
    if (m_dwBackColor3 == dwBackColor) return;
    m_dwBackColor3 = dwBackColor;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD dwBorderColor) {
    if (m_dwBorderColor == dwBorderColor) return;
    m_dwBorderColor = dwBorderColor;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD dwBorderColor) {
    if (m_dwFocusBorderColor == dwBorderColor) return;
    m_dwFocusBorderColor = dwBorderColor;
    Invalidate();
}

void CControlUI::SetHotBorderColor(DWORD dwBorderColor) {
    if (m_dwHotBorderColor == dwBorderColor) return;
    m_dwHotBorderColor = dwBorderColor;
    Invalidate();
}

void CControlUI::SetSelectedBorderColor(DWORD dwBorderColor) {
    if (m_dwSelectedBorderColor == dwBorderColor) return;
    m_dwSelectedBorderColor = dwBorderColor;
    Invalidate();
}

void CControlUI::SetColorHSL(bool bColorHSL) {
    if (m_bColorHSL == bColorHSL) return;
    m_bColorHSL = bColorHSL;
    Invalidate();
}

void CControlUI::SetBorderSize(int nSize) {
    if (m_nBorderSize == nSize) return;
    m_nBorderSize = nSize;
    Invalidate();
}

void CControlUI::SetBorderSize(RECT rc) {
    m_rcBorderSize = rc;
    Invalidate();
}

void CControlUI::SetLeftBorderSize(int nSize) {
    m_rcBorderSize.left = nSize;
    Invalidate();
}

void CControlUI::SetTopBorderSize(int nSize) {
    m_rcBorderSize.top = nSize;
    Invalidate();
}

void CControlUI::SetRightBorderSize(int nSize) {
    m_rcBorderSize.right = nSize;
    Invalidate();
}

void CControlUI::SetBottomBorderSize(int nSize) {
    m_rcBorderSize.bottom = nSize;
    Invalidate();
}

void CControlUI::SetBorderStyle(int nStyle) {
    m_nBorderStyle = nStyle;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE cxyRound) {
    m_cxyBorderRound = cxyRound;
    Invalidate();
}

LPCWSTR CControlUI::GetBkImage() const { return m_sBkImage.IsEmpty() ? m_sBkBitmapName : m_sBkImage; }

// Both setters copy their text first: it may be GetBkImage()'s, that is,
// one of the two strings they clear.
void CControlUI::SetBkImage(LPCWSTR pStrImage) {
    const CUIString image(pStrImage ? pStrImage : L"");
    if (m_pManager && !m_sBkBitmapName.IsEmpty()) m_pManager->RemoveImage(m_sBkBitmapName);
    m_hBkBitmap.reset();
    m_sBkImage = image;
    m_sBkBitmapName.Empty();
    Invalidate();
}

void CControlUI::SetBkImage(LPCWSTR name, HBITMAP hBitmap, bool bInvalidate) {
    const CUIString bitmapName(name ? name : L"");
    if (m_pManager && !m_sBkImage.IsEmpty()) m_pManager->RemoveImage(m_sBkImage);
    m_sBkImage.Empty();
    m_sBkBitmapName = bitmapName;
    m_hBkBitmap.reset();
    m_hBkBitmap = CopyBitmap(hBitmap);
    if (bInvalidate) Invalidate();
}

}  // namespace TarselUI
