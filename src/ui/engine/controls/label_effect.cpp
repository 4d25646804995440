// The label's GDI+ text effects: stroke, shadow and a gradient fill.

#include <cmath>

#include "ui/engine/base/gdiplus_include.h"
#include "ui/engine/controls/label.h"
#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

namespace {

Gdiplus::Color WithAlpha(DWORD argb, int alpha) {
    if (alpha < 0) alpha = 0;
    if (alpha > 255) alpha = 255;
    return Gdiplus::Color(static_cast<BYTE>(alpha), GetBValue(argb), GetGValue(argb), GetRValue(argb));
}

Gdiplus::StringAlignment AlignmentOf(int value) {
    switch (value) {
    case 1: return Gdiplus::StringAlignmentCenter;
    case 2: return Gdiplus::StringAlignmentFar;
    default: return Gdiplus::StringAlignmentNear;
    }
}

}  // namespace

void CLabelUI::PaintEffectText(HDC hDC, const RECT& rcText) {
    if (!m_pManager || m_TextValue.IsEmpty() || !StartGdiplus()) return;
    Gdiplus::Graphics graphics(hDC);
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(m_TextRenderingHintAntiAlias));
    Gdiplus::Font font(hDC, m_pManager->GetFont(m_iFont));
    Gdiplus::StringFormat format;
    format.SetAlignment(AlignmentOf(m_hAlign));
    format.SetLineAlignment(AlignmentOf(m_vAlign));
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(rcText.left), static_cast<Gdiplus::REAL>(rcText.top),
                             static_cast<Gdiplus::REAL>(rcText.right - rcText.left),
                             static_cast<Gdiplus::REAL>(rcText.bottom - rcText.top));
    const int length = m_TextValue.GetLength();
    const DWORD none = static_cast<DWORD>(-1);

    // The gradient runs over its length from the box's top left corner at
    // the gradient angle; by default over the box's height, top to bottom.
    const int gradientLength = m_GradientLength > 0 ? m_GradientLength : (rcText.bottom - rcText.top);
    const double radians = (m_GradientAngle + 90) * 3.14159265358979323846 / 180.0;
    const Gdiplus::PointF from(box.X, box.Y);
    const Gdiplus::PointF to(box.X + static_cast<Gdiplus::REAL>(gradientLength * std::cos(radians)),
                             box.Y + static_cast<Gdiplus::REAL>(gradientLength * std::sin(radians)) + 0.01f);

    if (m_EnabledStroke && m_dwStrokeColor != 0) {
        Gdiplus::SolidBrush stroke(WithAlpha(m_dwStrokeColor, m_TransStroke));
        const Gdiplus::REAL offsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& offset : offsets) {
            Gdiplus::RectF moved(box.X + offset[0], box.Y + offset[1], box.Width, box.Height);
            graphics.DrawString(m_TextValue.GetData(), length, &font, moved, &format, &stroke);
        }
    }

    if (m_EnabledShadow && m_dwTextShadowColorA != 0) {
        const DWORD second = m_dwTextShadowColorB == none ? m_dwTextShadowColorA : m_dwTextShadowColorB;
        Gdiplus::LinearGradientBrush shadow(from, to, WithAlpha(m_dwTextShadowColorA, m_TransShadow),
                                            WithAlpha(second, m_TransShadow1));
        Gdiplus::RectF moved(box.X + m_ShadowOffsetX, box.Y + m_ShadowOffsetY, box.Width, box.Height);
        graphics.DrawString(m_TextValue.GetData(), length, &font, moved, &format, &shadow);
    }

    const DWORD first = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    const DWORD second = m_dwTextColor2 == none ? first : m_dwTextColor2;
    Gdiplus::LinearGradientBrush fill(from, to, WithAlpha(first, m_TransText), WithAlpha(second, m_TransText1));
    graphics.DrawString(m_TextValue.GetData(), length, &font, box, &format, &fill);
}

}  // namespace TarselUI
