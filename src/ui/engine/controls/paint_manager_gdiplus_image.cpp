// Caching an in-memory GDI+ image as a premultiplied bitmap.

#include <objidl.h>
#include <gdiplus.h>

#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

const TImageInfo* CPaintManagerUI::GetImage(LPCWSTR bitmap, Gdiplus::Image* image, DWORD background) {
    if (!bitmap || !*bitmap) return nullptr;
    if (auto* cached = static_cast<const TImageInfo*>(m_mImageHash.Find(bitmap))) return cached;
    if (!image) return nullptr;
    const UINT width = image->GetWidth(), height = image->GetHeight();
    if (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Util::UniqueGdiObject dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return nullptr;
    {
        // GDI+ writes premultiplied ARGB straight into the section's pixels,
        // which is the form the engine draws.
        Gdiplus::Bitmap target(static_cast<INT>(width), static_cast<INT>(height), static_cast<INT>(width * 4),
                               PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        Gdiplus::Graphics graphics(&target);
        if (graphics.GetLastStatus() != Gdiplus::Ok) return nullptr;
        graphics.Clear(Gdiplus::Color(background));
        graphics.DrawImage(image, 0, 0, static_cast<INT>(width), static_cast<INT>(height));
    }
    ::GdiFlush();
    const TImageInfo* added =
        AddImage(bitmap, static_cast<HBITMAP>(dib.get()), static_cast<int>(width), static_cast<int>(height), true);
    if (added && added->hBitmap == dib.get()) dib.release();
    return added;
}

}  // namespace TarselUI
