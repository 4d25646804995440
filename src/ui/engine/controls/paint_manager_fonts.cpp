// Fonts: the default font, fonts by index, and searches up the chain of
// parent resource managers.

#include <new>
#include <cwchar>

#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

namespace {

// The platform's default GUI font description with the default character
// set, which every font of a skin starts from.
LOGFONTW DefaultGuiFontDescription() {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    return lf;
}

void SetFaceName(LOGFONTW& lf, LPCWSTR face) {
    // At most 31 characters fit beside the terminator.
    std::wcsncpy(lf.lfFaceName, face ? face : L"", LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
}

HFONT CreateSkinFont(LPCWSTR face, int nSize, bool bBold, bool bUnderline, bool bItalic) {
    LOGFONTW lf = DefaultGuiFontDescription();
    SetFaceName(lf, face);
    lf.lfHeight = -nSize;
    if (bBold) lf.lfWeight += FW_BOLD;
    if (bUnderline) lf.lfUnderline = TRUE;
    if (bItalic) lf.lfItalic = TRUE;
    return ::CreateFontIndirectW(&lf);
}

bool Matches(const TFontInfo* info, LPCWSTR face, int nSize, bool bBold, bool bUnderline, bool bItalic) {
    return info && info->sFontName == (face ? face : L"") && info->iSize == nSize && info->bBold == bBold &&
           info->bUnderline == bUnderline && info->bItalic == bItalic;
}

}  // namespace

CUIString CPaintManagerUI::m_sReplaceFontName;
CUIString CPaintManagerUI::m_pStrDefaultFontName;

void CPaintManagerUI::SetRelpacementFont(LPCWSTR pStrFontName) { m_sReplaceFontName = pStrFontName ? pStrFontName : L""; }

void CPaintManagerUI::SetDefaultFontName(LPCWSTR pStrFontName) {
    m_pStrDefaultFontName = pStrFontName ? pStrFontName : L"";
}

TFontInfo* CPaintManagerUI::MeasuredFont(TFontInfo* info) {
    if (!info || info->tm.tmHeight != 0 || !info->hFont) return info;
    if (m_hDcPaint) {
        Util::SelectGuard selected(m_hDcPaint, info->hFont);
        ::GetTextMetricsW(m_hDcPaint, &info->tm);
    } else {
        // Before the window exists a memory context measures the same.
        Util::UniqueMemoryDc screen(::CreateCompatibleDC(nullptr));
        if (!screen) return info;
        Util::SelectGuard selected(screen.get(), info->hFont);
        ::GetTextMetricsW(screen.get(), &info->tm);
    }
    return info;
}

HFONT CPaintManagerUI::AddFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) {
    return AddFontAt(m_aCustomFonts.GetSize(), pStrFontName, nSize, bBold, bUnderline, bItalic);
}

HFONT CPaintManagerUI::AddFontAt(int index, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                                 bool bItalic) {
    if (index < 0 || index > m_aCustomFonts.GetSize()) return nullptr;
    LPCWSTR face = m_sReplaceFontName.IsEmpty() ? pStrFontName : m_sReplaceFontName.GetData();
    HFONT hFont = CreateSkinFont(face, nSize, bBold, bUnderline, bItalic);
    if (!hFont) return nullptr;
    auto* info = new (std::nothrow) TFontInfo{};
    if (!info) {
        ::DeleteObject(hFont);
        return nullptr;
    }
    LOGFONTW lf{};
    ::GetObjectW(hFont, sizeof lf, &lf);
    info->hFont = hFont;
    info->sFontName = lf.lfFaceName;
    info->iSize = nSize;
    info->bBold = bBold;
    info->bUnderline = bUnderline;
    info->bItalic = bItalic;
    // Measured at its first use (GetFontInfo): realising a font costs a font
    // lookup, and a window that is never drawn never needs one.
    if (!m_aCustomFonts.InsertAt(index, info)) {
        ::DeleteObject(hFont);
        delete info;
        return nullptr;
    }
    return hFont;
}

HFONT CPaintManagerUI::GetFont(int index) {
    if (index < 0 || index >= m_aCustomFonts.GetSize()) return GetDefaultFontInfo()->hFont;
    return static_cast<TFontInfo*>(m_aCustomFonts.GetAt(index))->hFont;
}

HFONT CPaintManagerUI::GetFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) {
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        for (int i = 0; i < pm->m_aCustomFonts.GetSize(); ++i) {
            auto* info = static_cast<TFontInfo*>(pm->m_aCustomFonts.GetAt(i));
            if (Matches(info, pStrFontName, nSize, bBold, bUnderline, bItalic)) return info->hFont;
        }
    }
    return nullptr;
}

TFontInfo* CPaintManagerUI::GetFontInfo(int index) {
    if (index < 0 || index >= m_aCustomFonts.GetSize()) return GetDefaultFontInfo();
    return MeasuredFont(static_cast<TFontInfo*>(m_aCustomFonts.GetAt(index)));
}

TFontInfo* CPaintManagerUI::GetFontInfo(HFONT hFont) {
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        for (int i = 0; i < pm->m_aCustomFonts.GetSize(); ++i) {
            auto* info = static_cast<TFontInfo*>(pm->m_aCustomFonts.GetAt(i));
            if (info->hFont == hFont) return pm->MeasuredFont(info);
        }
    }
    return GetDefaultFontInfo();
}

int CPaintManagerUI::GetFontIndex(HFONT hFont) const {
    for (int i = 0; i < m_aCustomFonts.GetSize(); ++i) {
        if (static_cast<TFontInfo*>(m_aCustomFonts.GetAt(i))->hFont == hFont) return i;
    }
    return -1;
}

int CPaintManagerUI::GetFontIndex(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) const {
    for (int i = 0; i < m_aCustomFonts.GetSize(); ++i) {
        if (Matches(static_cast<TFontInfo*>(m_aCustomFonts.GetAt(i)), pStrFontName, nSize, bBold, bUnderline,
                    bItalic)) {
            return i;
        }
    }
    return -1;
}

bool CPaintManagerUI::FindFont(HFONT hFont) const {
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        if (pm->GetFontIndex(hFont) >= 0) return true;
    }
    return false;
}

bool CPaintManagerUI::FindFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) const {
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        if (pm->GetFontIndex(pStrFontName, nSize, bBold, bUnderline, bItalic) >= 0) return true;
    }
    return false;
}

bool CPaintManagerUI::RemoveFont(HFONT hFont) { return RemoveFontAt(GetFontIndex(hFont)); }

bool CPaintManagerUI::RemoveFontAt(int index) {
    if (index < 0 || index >= m_aCustomFonts.GetSize()) return false;
    auto* info = static_cast<TFontInfo*>(m_aCustomFonts.GetAt(index));
    ::DeleteObject(info->hFont);
    delete info;
    return m_aCustomFonts.Remove(index);
}

void CPaintManagerUI::RemoveAllFonts() {
    for (int i = 0; i < m_aCustomFonts.GetSize(); ++i) {
        auto* info = static_cast<TFontInfo*>(m_aCustomFonts.GetAt(i));
        ::DeleteObject(info->hFont);
        delete info;
    }
    m_aCustomFonts.Empty();
}

void CPaintManagerUI::SetDefaultFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) {
    HFONT hFont = CreateSkinFont(pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (!hFont) return;
    if (m_DefaultFontInfo.hFont) ::DeleteObject(m_DefaultFontInfo.hFont);
    LOGFONTW lf{};
    ::GetObjectW(hFont, sizeof lf, &lf);
    m_DefaultFontInfo.hFont = hFont;
    m_DefaultFontInfo.sFontName = lf.lfFaceName;
    m_DefaultFontInfo.iSize = nSize;
    m_DefaultFontInfo.bBold = bBold;
    m_DefaultFontInfo.bUnderline = bUnderline;
    m_DefaultFontInfo.bItalic = bItalic;
    m_DefaultFontInfo.tm = TEXTMETRICW{};  // measured at its first use
}

TFontInfo* CPaintManagerUI::GetDefaultFontInfo() {
    CPaintManagerUI* top = this;
    while (top->m_pParentResourcePM) top = top->m_pParentResourcePM;
    return top->MeasuredFont(&top->m_DefaultFontInfo);
}

}  // namespace TarselUI
