// Colour fills, gradients, lines and frames.

#include "ui/engine/render/color_math.h"
#include "ui/engine/render/gdi_extensions.h"
#include "ui/engine/render/render_engine.h"
#include "util/unique_handle.h"

namespace TarselUI {

namespace {

// A one-pixel 32-bit top-down DIB section holding `pixel` as it is.
Util::UniqueGdiObject OnePixelBitmap(DWORD pixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = 4;
    void* bits = nullptr;
    Util::UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) *static_cast<DWORD*>(bits) = pixel;
    return bitmap;
}

void FillOpaque(HDC hDC, const RECT& rc, DWORD argb) {
    ::SetBkColor(hDC, ToColorRef(argb));
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void FillGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps) {
    if (GradientFillFunction gradientFill = GetGradientFill()) {
        TRIVERTEX vertices[2]{};
        vertices[0].x = rc.left;
        vertices[0].y = rc.top;
        vertices[0].Red = static_cast<COLOR16>(((first >> 16) & 0xFF) << 8);
        vertices[0].Green = static_cast<COLOR16>(((first >> 8) & 0xFF) << 8);
        vertices[0].Blue = static_cast<COLOR16>((first & 0xFF) << 8);
        vertices[0].Alpha = 0xFF00;
        vertices[1].x = rc.right;
        vertices[1].y = rc.bottom;
        vertices[1].Red = static_cast<COLOR16>(((second >> 16) & 0xFF) << 8);
        vertices[1].Green = static_cast<COLOR16>(((second >> 8) & 0xFF) << 8);
        vertices[1].Blue = static_cast<COLOR16>((second & 0xFF) << 8);
        vertices[1].Alpha = 0xFF00;
        GRADIENT_RECT mesh{0, 1};
        gradientFill(hDC, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    for (const TColorBand& band : GradientBands(rc, first, second, vertical, steps)) {
        Util::UniqueGdiObject brush(::CreateSolidBrush(ToColorRef(band.rgb)));
        if (brush) ::FillRect(hDC, &band.rc, static_cast<HBRUSH>(brush.get()));
    }
}

void DrawFrame(HDC hDC, const RECT& rc, int nSize, DWORD color, int width, int height, bool round) {
    Util::UniqueGdiObject pen(::CreatePen(PS_INSIDEFRAME, nSize, ToColorRef(color)));
    if (!pen) return;
    Util::SelectGuard penSelected(hDC, pen.get());
    Util::SelectGuard brushSelected(hDC, ::GetStockObject(NULL_BRUSH));
    if (round) {
        ::RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
    } else {
        ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
    }
}

}  // namespace

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color) {
    if (!hDC || color <= 0x00FFFFFF) return;
    if (color >= 0xFF000000) {
        FillOpaque(hDC, rc, color);
        return;
    }
    // Per-pixel alpha blending takes premultiplied colours; a colour taken
    // as it stands would overflow (white plus half red wraps to cyan-grey).
    const DWORD alpha = color >> 24;
    const DWORD premultiplied = (alpha << 24) | ((((color >> 16) & 0xFF) * alpha / 255) << 16) |
                                ((((color >> 8) & 0xFF) * alpha / 255) << 8) | ((color & 0xFF) * alpha / 255);
    Util::UniqueGdiObject pixel = OnePixelBitmap(premultiplied);
    if (!pixel) return;
    DrawImage(hDC, static_cast<HBITMAP>(pixel.get()), rc, rc, RECT{0, 0, 1, 1}, RECT{0, 0, 0, 0}, true, 255);
}

void CRenderEngine::DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                                 int nSteps) {
    if (!hDC) return;
    const BYTE opacity = GradientOpacity(dwFirst, dwSecond);
    if (opacity == 0) return;
    if (opacity == 255) {
        FillGradient(hDC, rc, dwFirst, dwSecond, bVertical, nSteps);
        return;
    }
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0) return;
    const AlphaBlendFunction alphaBlend = GetAlphaBlend();
    Util::UniqueMemoryDc memory(::CreateCompatibleDC(hDC));
    Util::UniqueGdiObject bitmap(::CreateCompatibleBitmap(hDC, width, height));
    if (!memory || !bitmap) return;
    Util::SelectGuard selected(memory.get(), bitmap.get());
    FillGradient(memory.get(), RECT{0, 0, width, height}, dwFirst, dwSecond, bVertical, nSteps);
    if (alphaBlend) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, 0};
        alphaBlend(hDC, rc.left, rc.top, width, height, memory.get(), 0, 0, width, height, blend);
    } else {
        ::BitBlt(hDC, rc.left, rc.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }
}

void CRenderEngine::DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle) {
    if (!hDC) return;
    LOGPEN description{static_cast<UINT>(nStyle), POINT{nSize, 0}, ToColorRef(dwPenColor)};
    Util::UniqueGdiObject pen(::CreatePenIndirect(&description));
    if (!pen) return;
    Util::SelectGuard selected(hDC, pen.get());
    POINT previous;
    ::MoveToEx(hDC, rc.left, rc.top, &previous);
    ::LineTo(hDC, rc.right, rc.bottom);
    ::MoveToEx(hDC, previous.x, previous.y, nullptr);
}

void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor) {
    if (hDC) DrawFrame(hDC, rc, nSize, dwPenColor, 0, 0, false);
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor) {
    if (hDC) DrawFrame(hDC, rc, nSize, dwPenColor, width, height, true);
}

DWORD CRenderEngine::AdjustColor(DWORD dwColor, short H, short S, short L) {
    return AdjustColorHsl(dwColor, H, S, L);
}

}  // namespace TarselUI
