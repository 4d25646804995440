#pragma once
// A control that draws one piece of text in its rectangle, with alignment
// words, text colours that default to the manager's, and optional GDI+
// text effects (shadow, stroke, gradient) that this system's skins leave off.

#include "ui/engine/controls/control.h"

namespace TarselUI {

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    void SetText(LPCWSTR pstrText) override;
    CUIString GetText() const override;

    void SetTextStyle(UINT uStyle);
    UINT GetTextStyle() const { return m_uTextStyle; }
    void SetTextColor(DWORD dwTextColor);
    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetDisabledTextColor(DWORD dwTextColor);
    DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
    void SetFont(int index);
    int GetFont() const { return m_iFont; }
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const { return m_bShowHtml; }
    void SetShowHtml(bool bShowHtml = true);
    bool GetAutoWidth() const { return m_bAutoWidth; }
    void SetAutoWidth(bool bAutoWidth) { m_bAutoWidth = bAutoWidth; }

    SIZE EstimateSize(SIZE szAvailable) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintText(HDC hDC) override;

    void SetEnabledEffect(bool bEnable) { m_EnabledEffect = bEnable; }
    bool GetEnabledEffect() const { return m_EnabledEffect; }
    void SetEnabledShadow(bool bEnable) { m_EnabledShadow = bEnable; }
    bool GetEnabledShadow() const { return m_EnabledShadow; }
    void SetEnabledStroke(bool bEnable) { m_EnabledStroke = bEnable; }
    bool GetEnabledStroke() const { return m_EnabledStroke; }
    void SetTextColor1(DWORD dwColor) { m_dwTextColor2 = dwColor; }
    DWORD GetTextColor1() const { return m_dwTextColor2; }
    void SetTextShadowColorA(DWORD dwColor) { m_dwTextShadowColorA = dwColor; }
    DWORD GetTextShadowColorA() const { return m_dwTextShadowColorA; }
    void SetTextShadowColorB(DWORD dwColor) { m_dwTextShadowColorB = dwColor; }
    DWORD GetTextShadowColorB() const { return m_dwTextShadowColorB; }
    void SetStrokeColor(DWORD dwColor) { m_dwStrokeColor = dwColor; }
    DWORD GetStrokeColor() const { return m_dwStrokeColor; }
    void SetTransShadow(int nTrans) { m_TransShadow = nTrans; }
    int GetTransShadow() const { return m_TransShadow; }
    void SetTransShadow1(int nTrans) { m_TransShadow1 = nTrans; }
    int GetTransShadow1() const { return m_TransShadow1; }
    void SetTransText(int nTrans) { m_TransText = nTrans; }
    int GetTransText() const { return m_TransText; }
    void SetTransText1(int nTrans) { m_TransText1 = nTrans; }
    int GetTransText1() const { return m_TransText1; }
    void SetTransStroke(int nTrans) { m_TransStroke = nTrans; }
    int GetTransStroke() const { return m_TransStroke; }
    void SetGradientAngle(int nAngle) { m_GradientAngle = nAngle; }
    int GetGradientAngle() const { return m_GradientAngle; }
    void SetGradientLength(int nLength) { m_GradientLength = nLength; }
    int GetGradientLength() const { return m_GradientLength; }
    // Offset (distance) and angle in degrees.
    void SetShadowOffset(int nOffset, int nAngle);
    float GetShadowOffsetX() const { return m_ShadowOffsetX; }
    float GetShadowOffsetY() const { return m_ShadowOffsetY; }
    void SetTextRenderingHintAntiAlias(int nHint) { m_TextRenderingHintAntiAlias = nHint; }
    int GetTextRenderingHintAntiAlias() const { return m_TextRenderingHintAntiAlias; }

protected:
    // Takes the manager's default colours for those never set.
    void FillInDefaultColors();
    // The text through GDI+ with the stroke, shadow and gradient passes.
    void PaintEffectText(HDC hDC, const RECT& rcText);

    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    UINT m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_rcTextPadding{};
    bool m_bShowHtml = false;

    int m_hAlign = 0;  // string alignment: near
    int m_vAlign = 1;  // line alignment: centre
    int m_TransShadow = 60;
    int m_TransShadow1 = 60;
    int m_TransText = 168;
    int m_TransText1 = 168;
    int m_TransStroke = 255;
    int m_GradientLength = 0;
    int m_GradientAngle = 0;
    bool m_EnabledEffect = false;
    bool m_EnabledStroke = false;
    bool m_EnabledShadow = false;
    bool m_bAutoWidth = false;
    DWORD m_dwTextColor2 = static_cast<DWORD>(-1);
    DWORD m_dwTextShadowColorA = 0xFF000000;
    DWORD m_dwTextShadowColorB = static_cast<DWORD>(-1);
    DWORD m_dwStrokeColor = 0;
    float m_ShadowOffsetX = 0;
    float m_ShadowOffsetY = 0;
    CUIString m_TextValue;
    int m_TextRenderingHintAntiAlias = 0;
    // GDI+ for measured and effect text, started at its first use.
    bool StartGdiplus();
    ULONG_PTR m_gdiplusToken = 0;
    bool m_bGdiplusFailed = false;
};

}  // namespace TarselUI
