#pragma once
// The engine's stateless drawing routines. Controls never draw directly:
// they hand rectangles, ARGB colours, font indexes and image descriptors
// to these routines.

#include <windows.h>

#include "ui/engine/base/ui_string.h"
#include "ui/engine/render/image_info.h"
#include "ui/engine/render/string_or_id.h"

namespace TarselUI {

class CPaintManagerUI;

// Narrows a drawing context's clip for the guard's lifetime and puts the
// previous clip back when it ends.
class CRenderClip {
public:
    CRenderClip() = default;
    ~CRenderClip();
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;

    RECT rcItem{};
    HDC hDC = nullptr;
    HRGN hRgn = nullptr;
    HRGN hOldRgn = nullptr;

    static void GenerateClip(HDC hDC, RECT rc, CRenderClip& clip);
    static void GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip);
    // Paint outside the current clip (under the previous one) for a while.
    static void UseOldClipBegin(HDC hDC, CRenderClip& clip);
    static void UseOldClipEnd(HDC hDC, CRenderClip& clip);
};

// The routines that take a paint manager (DrawImageString, DrawTextW,
// DrawHtmlText, GetTextSize) are defined beside the manager: they look its
// images and fonts up and draw through image_drawing.h and text_drawing.h.
class CRenderEngine {
public:
    // Loads and decodes an image: with a resource type from the resource
    // module, otherwise by file name from the skin archive or the resource
    // folder, falling back to the name as a plain path. Pixels whose
    // (premultiplied) colour equals `mask` become transparent. Null when no
    // source has it or it does not decode. Release with FreeImage.
    static TImageInfo* LoadImageW(STRINGorID bitmap, LPCWSTR type = nullptr, DWORD mask = 0);
    static void FreeImage(TImageInfo* bitmap);

    // Draws the images an image descriptor (and its modifier) names. False
    // only without a manager or a drawing context; an image that cannot be
    // loaded is skipped and reported through `pImageMissing` when given
    // (controls then stop trying that descriptor).
    static bool DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                LPCWSTR pStrImage, LPCWSTR pStrModify = nullptr, bool* pImageMissing = nullptr);
    // Nine-part drawing of `rcBmpPart` of the bitmap over `rc`.
    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                          const RECT& rcCorners, bool alphaChannel, BYTE uFade = 255, bool hole = false,
                          bool xtiled = false, bool ytiled = false);

    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical, int nSteps);

    static void DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = PS_SOLID);
    static void DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor);

    static void DrawTextW(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                          int iFont, UINT uStyle);
    // Rich text with <b> <i> <u> <c #colour> <f index> <n> <a link>; the
    // link rectangles and texts are recorded into the caller's arrays
    // (nLinkRects: their capacity in, the number recorded out). With
    // DT_CALCRECT, `rc` receives the extent and nothing is drawn.
    static void DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                             RECT* pLinks, CUIString* sLinks, int& nLinkRects, UINT uStyle);
    static SIZE GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCWSTR pstrText, int iFont, UINT uStyle);

    static DWORD AdjustColor(DWORD dwColor, short H, short S, short L);
};

}  // namespace TarselUI
