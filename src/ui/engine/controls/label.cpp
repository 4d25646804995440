// The label: alignment words, colours, size estimate and plain text painting.

#include "ui/engine/controls/label.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "ui/engine/base/gdiplus_include.h"
#include "ui/engine/controls/measuring_dc.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/render_engine.h"
#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

namespace {

bool ParseBool(LPCWSTR value) { return std::wcscmp(value, L"true") == 0; }
int ParseInt(LPCWSTR value) { return static_cast<int>(std::wcstol(value, nullptr, 10)); }

// One optional '#' after leading whitespace, then hexadecimal.
DWORD ParseLabelColor(LPCWSTR value) {
    while (*value > L'\0' && *value <= L' ') ++value;
    return ParseHexColor(value);
}

}  // namespace

CLabelUI::CLabelUI() = default;

bool CLabelUI::StartGdiplus() {
    // GDI+ starts at the label's first text measured or drawn through it, not
    // when the label is built: a window that is never shown (the launcher's
    // frame) then never loads it.
    if (m_gdiplusToken == 0 && !m_bGdiplusFailed) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
            m_gdiplusToken = 0;
            m_bGdiplusFailed = true;
        }
    }
    return m_gdiplusToken != 0;
}

CLabelUI::~CLabelUI() {
    if (m_gdiplusToken != 0) Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

LPCWSTR CLabelUI::GetClass() const { return L"LabelUI"; }

LPVOID CLabelUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"Label") == 0) return static_cast<CLabelUI*>(this);
    return CControlUI::GetInterface(pstrName);
}

void CLabelUI::SetText(LPCWSTR pstrText) {
    if (!m_EnabledEffect) CControlUI::SetText(pstrText);
    m_TextValue = pstrText ? pstrText : L"";
    if (m_bAutoWidth && m_pParent) m_pParent->SetPos(m_pParent->GetPos());
}

CUIString CLabelUI::GetText() const { return m_EnabledEffect ? m_TextValue : CControlUI::GetText(); }

void CLabelUI::SetTextStyle(UINT uStyle) {
    m_uTextStyle = uStyle;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD dwTextColor) {
    m_dwTextColor = dwTextColor;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor) {
    m_dwDisabledTextColor = dwTextColor;
    Invalidate();
}

void CLabelUI::SetFont(int index) {
    m_iFont = index;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc) {
    m_rcTextPadding = rc;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool bShowHtml) {
    if (m_bShowHtml == bShowHtml) return;
    m_bShowHtml = bShowHtml;
    Invalidate();
}

void CLabelUI::SetShadowOffset(int nOffset, int nAngle) {
    // Angle in degrees, measured anticlockwise from the positive x axis.
    const double radians = nAngle * 3.14159265358979323846 / 180.0;
    m_ShadowOffsetX = static_cast<float>(nOffset * std::cos(radians));
    m_ShadowOffsetY = static_cast<float>(-nOffset * std::sin(radians));
}

SIZE CLabelUI::EstimateSize(SIZE /*szAvailable*/) {
    if (m_cxyFixed.cy == 0) {
        if (!m_pManager) return m_cxyFixed;
        return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont)->tm.tmHeight + 4};
    }
    if (m_bAutoWidth && m_pManager && StartGdiplus()) {
        const CUIString text = GetText();
        const MeasuringDc measuring(m_pManager->GetPaintDC());
        if (HDC dc = measuring.get()) {
            Gdiplus::Graphics graphics(dc);
            Gdiplus::Font font(dc, m_pManager->GetFont(m_iFont));
            Gdiplus::RectF bounds;
            graphics.MeasureString(text.GetData(), text.GetLength(), &font, Gdiplus::PointF(0, 0), &bounds);
            return SIZE{static_cast<LONG>(bounds.X + bounds.Width), m_cxyFixed.cy};
        }
    }
    return m_cxyFixed;
}

void CLabelUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

void CLabelUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    auto is = [pstrName](LPCWSTR name) { return std::wcscmp(pstrName, name) == 0; };
    auto has = [pstrValue](LPCWSTR word) { return std::wcsstr(pstrValue, word) != nullptr; };
    if (is(L"align")) {
        if (has(L"left")) m_uTextStyle &= ~(DT_CENTER | DT_RIGHT | DT_SINGLELINE);
        if (has(L"center")) {
            m_uTextStyle &= ~DT_RIGHT;
            m_uTextStyle |= DT_CENTER;
        }
        if (has(L"right")) {
            m_uTextStyle &= ~(DT_CENTER | DT_SINGLELINE);
            m_uTextStyle |= DT_RIGHT;
        }
    } else if (is(L"valign")) {
        if (has(L"top")) {
            m_uTextStyle &= ~(DT_BOTTOM | DT_VCENTER);
            m_uTextStyle |= DT_SINGLELINE;
        }
        if (has(L"center")) {
            m_uTextStyle &= ~DT_BOTTOM;
            m_uTextStyle |= DT_VCENTER | DT_SINGLELINE;
        }
        if (has(L"bottom")) {
            m_uTextStyle &= ~DT_VCENTER;
            m_uTextStyle |= DT_BOTTOM | DT_SINGLELINE;
        }
    } else if (is(L"endellipsis")) {
        if (ParseBool(pstrValue)) {
            m_uTextStyle |= DT_END_ELLIPSIS;
        } else {
            m_uTextStyle &= ~DT_END_ELLIPSIS;
        }
    } else if (is(L"font")) {
        SetFont(ParseInt(pstrValue));
    } else if (is(L"textcolor")) {
        SetTextColor(ParseLabelColor(pstrValue));
    } else if (is(L"disabledtextcolor")) {
        SetDisabledTextColor(ParseLabelColor(pstrValue));
    } else if (is(L"textpadding")) {
        SetTextPadding(ParseRectValue(pstrValue));
    } else if (is(L"showhtml")) {
        SetShowHtml(ParseBool(pstrValue));
    } else if (is(L"enabledeffect")) {
        SetEnabledEffect(ParseBool(pstrValue));
    } else if (is(L"enabledstroke")) {
        SetEnabledStroke(ParseBool(pstrValue));
    } else if (is(L"enabledshadow")) {
        SetEnabledShadow(ParseBool(pstrValue));
    } else if (is(L"autowidth")) {
        SetAutoWidth(ParseBool(pstrValue));
    } else if (is(L"rhaa")) {
        SetTextRenderingHintAntiAlias(ParseInt(pstrValue));
    } else if (is(L"transshadow")) {
        SetTransShadow(ParseInt(pstrValue));
    } else if (is(L"transtext")) {
        SetTransText(ParseInt(pstrValue));
    } else if (is(L"transshadow1")) {
        SetTransShadow1(ParseInt(pstrValue));
    } else if (is(L"transtext1")) {
        SetTransText1(ParseInt(pstrValue));
    } else if (is(L"transstroke")) {
        SetTransStroke(ParseInt(pstrValue));
    } else if (is(L"gradientangle")) {
        SetGradientAngle(ParseInt(pstrValue));
    } else if (is(L"gradientlength")) {
        SetGradientLength(ParseInt(pstrValue));
    } else if (is(L"shadowoffset")) {
        long values[2];
        ParseIntList(pstrValue, values, 2);
        SetShadowOffset(values[0], values[1]);
    } else if (is(L"textcolor1")) {
        SetTextColor1(ParseLabelColor(pstrValue));
    } else if (is(L"textshadowcolora")) {
        SetTextShadowColorA(ParseLabelColor(pstrValue));
    } else if (is(L"textshadowcolorb")) {
        SetTextShadowColorB(ParseLabelColor(pstrValue));
    } else if (is(L"strokecolor")) {
        SetStrokeColor(ParseLabelColor(pstrValue));
    } else {
        CControlUI::SetAttribute(pstrName, pstrValue);
    }
}

void CLabelUI::FillInDefaultColors() {
    if (!m_pManager) return;
    if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
    if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

void CLabelUI::PaintText(HDC hDC) {
    FillInDefaultColors();
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;

    if (m_EnabledEffect) {
        PaintEffectText(hDC, rc);
        return;
    }
    if (m_sText.IsEmpty()) return;
    const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if (m_bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, links, m_uTextStyle);
    } else {
        CRenderEngine::DrawTextW(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

}  // namespace TarselUI
