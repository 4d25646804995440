// Clip guards: narrow the clip for a stretch of drawing, then restore it.

#include "ui/engine/render/render_engine.h"

namespace TarselUI {

CRenderClip::~CRenderClip() {
    if (hDC && hOldRgn) ::SelectClipRgn(hDC, hOldRgn);
    if (hOldRgn) ::DeleteObject(hOldRgn);
    if (hRgn) ::DeleteObject(hRgn);
}

void CRenderClip::GenerateClip(HDC hDC, RECT rc, CRenderClip& clip) {
    RECT box{};
    ::GetClipBox(hDC, &box);
    clip.hOldRgn = ::CreateRectRgnIndirect(&box);
    clip.hRgn = ::CreateRectRgnIndirect(&rc);
    ::ExtSelectClipRgn(hDC, clip.hRgn, RGN_AND);
    clip.hDC = hDC;
    clip.rcItem = rc;
}

void CRenderClip::GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip) {
    RECT box{};
    ::GetClipBox(hDC, &box);
    clip.hOldRgn = ::CreateRectRgnIndirect(&box);
    clip.hRgn = ::CreateRectRgnIndirect(&rc);
    if (HRGN round = ::CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width,
                                          height)) {
        ::CombineRgn(clip.hRgn, clip.hRgn, round, RGN_AND);
        ::DeleteObject(round);
    }
    ::ExtSelectClipRgn(hDC, clip.hRgn, RGN_AND);
    clip.hDC = hDC;
    clip.rcItem = rc;
}

void CRenderClip::UseOldClipBegin(HDC hDC, CRenderClip& clip) { ::SelectClipRgn(hDC, clip.hOldRgn); }

void CRenderClip::UseOldClipEnd(HDC hDC, CRenderClip& clip) { ::SelectClipRgn(hDC, clip.hRgn); }

}  // namespace TarselUI
