// The render routines that take a paint manager: they look the window's
// fonts and images up in it and draw through render/, which knows no
// manager.

#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/image_drawing.h"
#include "ui/engine/render/render_engine.h"
#include "ui/engine/render/text_drawing.h"

namespace TarselUI {

bool CRenderEngine::DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                    LPCWSTR pStrImage, LPCWSTR pStrModify, bool* pImageMissing) {
    if (pImageMissing) *pImageMissing = false;
    if (!pManager || !hDC) return false;
    const ImageByName images = [pManager](LPCWSTR name, LPCWSTR type, DWORD mask) {
        return pManager->GetImageEx(name, type, mask);
    };
    DrawImageDescriptor(hDC, images, rcItem, rcPaint, pStrImage, pStrModify, pImageMissing);
    return true;
}

void CRenderEngine::DrawTextW(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                              int iFont, UINT uStyle) {
    if (!hDC || !pstrText || !pManager) return;
    DrawTextInFont(hDC, pManager->GetFont(iFont), rc, pstrText, dwTextColor, uStyle);
}

SIZE CRenderEngine::GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCWSTR pstrText, int iFont, UINT) {
    if (!hDC || !pstrText || !pManager) return SIZE{0, 0};
    return TextSizeInFont(hDC, pManager->GetFont(iFont), pstrText);
}

void CRenderEngine::DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                                 RECT* pLinks, CUIString* sLinks, int& nLinkRects, UINT uStyle) {
    if (!pManager) {
        nLinkRects = 0;
        return;
    }
    const FontByIndex fonts = [pManager](int index) { return pManager->GetFont(index); };
    DrawHtmlTextInFonts(hDC, fonts, pManager->GetDefaultLinkFontColor(), rc, pstrText, dwTextColor, pLinks, sLinks,
                        nLinkRects, uStyle);
}

}  // namespace TarselUI
