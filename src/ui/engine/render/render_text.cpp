#include "ui/engine/render/text_drawing.h"

#include <algorithm>
#include <cwchar>

#include "ui/engine/render/color_math.h"
#include "ui/engine/render/html_text.h"
#include "util/unique_handle.h"

namespace TarselUI {

namespace {

// The font of a rich-text run: the font of that index, with the run's
// bold, italic and underline added.
Util::UniqueGdiObject RunFont(const FontByIndex& fonts, const THtmlRun& run) {
    LOGFONTW description{};
    ::GetObjectW(fonts(run.font), sizeof description, &description);
    if (run.bold) description.lfWeight = FW_BOLD;
    if (run.italic) description.lfItalic = TRUE;
    if (run.underline) description.lfUnderline = TRUE;
    return Util::UniqueGdiObject(::CreateFontIndirectW(&description));
}

}  // namespace

void DrawTextInFont(HDC hDC, HFONT hFont, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor, UINT uStyle) {
    if (!hDC || !pstrText) return;
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ToColorRef(dwTextColor));
    Util::SelectGuard font(hDC, hFont);
    ::DrawTextW(hDC, pstrText, -1, &rc, uStyle | DT_NOPREFIX);
}

SIZE TextSizeInFont(HDC hDC, HFONT hFont, LPCWSTR pstrText) {
    SIZE size{0, 0};
    if (!hDC || !pstrText) return size;
    Util::SelectGuard font(hDC, hFont);
    ::GetTextExtentPoint32W(hDC, pstrText, static_cast<int>(std::wcslen(pstrText)), &size);
    return size;
}

void DrawHtmlTextInFonts(HDC hDC, const FontByIndex& fonts, DWORD dwLinkColor, RECT& rc, LPCWSTR pstrText,
                         DWORD dwTextColor, RECT* pLinks, CUIString* sLinks, int& nLinkRects, UINT uStyle) {
    const int linkCapacity = (pLinks && sLinks) ? std::max(nLinkRects, 0) : 0;
    nLinkRects = 0;
    if (!hDC || !pstrText) return;
    const bool measureOnly = (uStyle & DT_CALCRECT) != 0;
    const bool singleLine = (uStyle & DT_SINGLELINE) != 0;
    const THtmlText html = ParseHtmlText(pstrText, -1);

    ::SetBkMode(hDC, TRANSPARENT);
    LONG x = rc.left, y = rc.top, lineHeight = 0, widest = 0;
    auto newLine = [&] {
        if (lineHeight == 0) {
            Util::SelectGuard font(hDC, fonts(-1));
            TEXTMETRICW metrics{};
            ::GetTextMetricsW(hDC, &metrics);
            lineHeight = metrics.tmHeight;
        }
        y += lineHeight;
        x = rc.left;
        lineHeight = 0;
    };

    for (const THtmlRun& run : html.runs) {
        if (run.lineBreak) {
            if (!singleLine) newLine();
            continue;
        }
        Util::UniqueGdiObject runFont = RunFont(fonts, run);
        Util::SelectGuard font(hDC, runFont ? runFont.get() : fonts(run.font));
        SIZE extent{};
        ::GetTextExtentPoint32W(hDC, run.text, run.text.GetLength(), &extent);
        // Runs that no longer fit start a new line (never the first run of one).
        if (!singleLine && x > rc.left && x + extent.cx > rc.right) newLine();
        const RECT runRect{x, y, x + extent.cx, y + extent.cy};
        if (!measureOnly) {
            DWORD color = run.color ? run.color : dwTextColor;
            if (run.link >= 0 && !run.color) color = dwLinkColor;
            ::SetTextColor(hDC, ToColorRef(color));
            RECT clipped = runRect;
            ::IntersectRect(&clipped, &runRect, &rc);
            ::ExtTextOutW(hDC, x, y, ETO_CLIPPED, &clipped, run.text, run.text.GetLength(), nullptr);
        }
        if (run.link >= 0 && nLinkRects < linkCapacity) {
            pLinks[nLinkRects] = runRect;
            sLinks[nLinkRects] = html.links[static_cast<size_t>(run.link)];
            ++nLinkRects;
        }
        x += extent.cx;
        lineHeight = std::max<LONG>(lineHeight, extent.cy);
        widest = std::max<LONG>(widest, x - rc.left);
    }
    if (measureOnly) {
        rc.right = rc.left + widest;
        rc.bottom = y + lineHeight;
    }
}

}  // namespace TarselUI
