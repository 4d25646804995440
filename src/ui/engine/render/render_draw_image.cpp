// Image descriptors and nine-part image drawing.

#include "ui/engine/render/gdi_extensions.h"
#include "ui/engine/render/image_drawing.h"
#include "ui/engine/render/image_descriptor.h"
#include "ui/engine/render/nine_part.h"
#include "ui/engine/render/render_engine.h"
#include "util/unique_handle.h"

namespace TarselUI {

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

bool SameSize(const RECT& a, const RECT& b) { return Width(a) == Width(b) && Height(a) == Height(b); }

// Returns false when the image named by the settings cannot be loaded.
bool DrawOneImage(HDC hDC, const ImageByName& images, const RECT& rcItem, const RECT& rcPaint,
                  const TImageDrawSettings& s) {
    if (s.sImageName.IsEmpty()) return true;
    const TImageInfo* image = images(s.sImageName, s.sResType.IsEmpty() ? nullptr : s.sResType.GetData(), s.dwMask);
    if (!image) return false;

    RECT source = s.rcSource;
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) {
        source = RECT{0, 0, image->nWidth, image->nHeight};
    }
    if (source.right > image->nWidth) source.right = image->nWidth;
    if (source.bottom > image->nHeight) source.bottom = image->nHeight;

    if (!RectsMeet(s.rcDest, rcItem) || !RectsMeet(s.rcDest, rcPaint)) return true;
    CRenderEngine::DrawImage(hDC, image->hBitmap, s.rcDest, rcPaint, source, s.rcCorner, image->bAlphaChannel,
                             s.uFade, s.bHole, s.bXTiled, s.bYTiled);
    return true;
}

}  // namespace

void DrawImageDescriptor(HDC hDC, const ImageByName& images, const RECT& rcItem, const RECT& rcPaint,
                         LPCWSTR pStrImage, LPCWSTR pStrModify, bool* pImageMissing) {
    if (pImageMissing) *pImageMissing = false;
    if (!hDC) return;
    ReadImageDescriptorPair(pStrImage, pStrModify, rcItem, [&](const TImageDrawSettings& settings) {
        if (!DrawOneImage(hDC, images, rcItem, rcPaint, settings) && pImageMissing) *pImageMissing = true;
    });
}

void CRenderEngine::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                              const RECT& rcCorners, bool alphaChannel, BYTE uFade, bool hole, bool xtiled,
                              bool ytiled) {
    if (!hDC || !hBitmap) return;
    Util::UniqueMemoryDc memory(::CreateCompatibleDC(hDC));
    if (!memory) return;
    Util::SelectGuard selected(memory.get(), hBitmap);
    ::SetStretchBltMode(hDC, HALFTONE);

    const TImagePiece middle = NineMiddle(rc, rcBmpPart, rcCorners);
    const std::vector<TImagePiece> edges = NineEdges(rc, rcBmpPart, rcCorners);
    auto drawable = [](const TImagePiece& p) { return HasArea(p.dest) && HasArea(p.source); };

    const AlphaBlendFunction alphaBlend = GetAlphaBlend();
    if (alphaBlend && (alphaChannel || uFade < 255)) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, uFade, AC_SRC_ALPHA};
        auto draw = [&](const TImagePiece& p) {
            if (!drawable(p)) return;
            alphaBlend(hDC, p.dest.left, p.dest.top, Width(p.dest), Height(p.dest), memory.get(), p.source.left,
                       p.source.top, Width(p.source), Height(p.source), blend);
        };
        if (!hole && RectsMeet(middle.dest, rcPaint)) {
            for (const TImagePiece& tile : TileMiddle(middle, xtiled, ytiled, rcPaint)) draw(tile);
        }
        for (const TImagePiece& edge : edges) {
            if (RectsMeet(edge.dest, rcPaint)) draw(edge);
        }
        return;
    }

    const bool noCorners =
        rcCorners.left == 0 && rcCorners.top == 0 && rcCorners.right == 0 && rcCorners.bottom == 0;
    if (noCorners && SameSize(rc, rcBmpPart)) {
        RECT part;
        if (!::IntersectRect(&part, &rc, &rcPaint)) return;
        ::BitBlt(hDC, part.left, part.top, Width(part), Height(part), memory.get(),
                 rcBmpPart.left + part.left - rc.left, rcBmpPart.top + part.top - rc.top, SRCCOPY);
        return;
    }
    auto copy = [&](const TImagePiece& p) {
        if (!drawable(p)) return;
        if (SameSize(p.dest, p.source)) {
            ::BitBlt(hDC, p.dest.left, p.dest.top, Width(p.dest), Height(p.dest), memory.get(), p.source.left,
                     p.source.top, SRCCOPY);
        } else {
            ::StretchBlt(hDC, p.dest.left, p.dest.top, Width(p.dest), Height(p.dest), memory.get(), p.source.left,
                         p.source.top, Width(p.source), Height(p.source), SRCCOPY);
        }
    };
    if (!hole && RectsMeet(middle.dest, rcPaint)) {
        for (const TImagePiece& tile : TileMiddle(middle, xtiled, ytiled, rcPaint)) copy(tile);
    }
    for (const TImagePiece& edge : edges) {
        if (RectsMeet(edge.dest, rcPaint)) copy(edge);
    }
}

}  // namespace TarselUI
