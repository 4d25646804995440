// The scroll bar's numbers: range, position and line size.

#include "ui/engine/controls/scroll_bar.h"

#include <cwchar>
#include <cstdlib>

namespace TarselUI {

CScrollBarUI::CScrollBarUI() { m_cxyFixed.cx = kDefaultThickness; }

LPCWSTR CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

LPVOID CScrollBarUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"ScrollBar") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CScrollBarUI::SetHorizontal(bool bHorizontal) {
    if (m_bHorizontal == bHorizontal) return;
    m_bHorizontal = bHorizontal;
    if (m_bHorizontal) {
        m_cxyFixed.cy = m_cxyFixed.cx > 0 ? m_cxyFixed.cx : kDefaultThickness;
        m_cxyFixed.cx = 0;
    } else {
        m_cxyFixed.cx = m_cxyFixed.cy > 0 ? m_cxyFixed.cy : kDefaultThickness;
        m_cxyFixed.cy = 0;
    }
    NeedParentUpdate();
}

void CScrollBarUI::SetScrollRange(int nRange) {
    if (nRange < 0) nRange = 0;
    if (m_nRange == nRange) return;
    m_nRange = nRange;
    if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
    Invalidate();
}

void CScrollBarUI::SetScrollPos(int nPos) {
    if (nPos < 0) nPos = 0;
    if (nPos > m_nRange) nPos = m_nRange;
    if (m_nScrollPos == nPos) return;
    m_nScrollPos = nPos;
    Invalidate();
}

void CScrollBarUI::SetLineSize(int nSize) {
    if (nSize > 0) m_nLineSize = nSize;
}

void CScrollBarUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    if (std::wcscmp(pstrName, L"range") == 0) {
        SetScrollRange(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else if (std::wcscmp(pstrName, L"value") == 0) {
        SetScrollPos(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else if (std::wcscmp(pstrName, L"linesize") == 0) {
        SetLineSize(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else if (std::wcscmp(pstrName, L"hor") == 0) {
        SetHorizontal(std::wcscmp(pstrValue, L"true") == 0);
    } else {
        CControlUI::SetAttribute(pstrName, pstrValue);
    }
}

}  // namespace TarselUI
