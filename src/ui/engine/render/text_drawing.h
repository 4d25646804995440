#pragma once
// Text drawing and measuring in fonts the caller supplies. The paint
// manager's text routines (CRenderEngine::DrawTextW and the others) look
// the window's fonts up and draw through these.

#include <windows.h>

#include <functional>

#include "ui/engine/base/ui_string.h"

namespace TarselUI {

// The font of a font index; an invalid index gives the default font.
using FontByIndex = std::function<HFONT(int index)>;

// One text in `hFont` into `rc`, transparent, with the style flags plus
// "no prefix" (an ampersand is no accelerator mark).
void DrawTextInFont(HDC hDC, HFONT hFont, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor, UINT uStyle);
// The extent of the text in one line.
SIZE TextSizeInFont(HDC hDC, HFONT hFont, LPCWSTR pstrText);
// Rich text (see CRenderEngine::DrawHtmlText): runs take their font from
// `fonts`, links without a colour of their own `dwLinkColor`.
void DrawHtmlTextInFonts(HDC hDC, const FontByIndex& fonts, DWORD dwLinkColor, RECT& rc, LPCWSTR pstrText,
                         DWORD dwTextColor, RECT* pLinks, CUIString* sLinks, int& nLinkRects, UINT uStyle);

}  // namespace TarselUI
