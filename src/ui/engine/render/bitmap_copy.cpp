#include "ui/engine/render/bitmap_copy.h"

#include <cstdlib>

namespace TarselUI {

Util::UniqueGdiObject CopyBitmap(HBITMAP source) {
    BITMAP info{};
    if (!source || ::GetObjectW(source, sizeof info, &info) != sizeof info || info.bmWidth <= 0 ||
        info.bmHeight == 0) {
        return Util::UniqueGdiObject();
    }
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -std::abs(info.bmHeight);
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = info.bmBitsPixel;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Util::UniqueGdiObject copy(::CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    Util::UniqueMemoryDc from(::CreateCompatibleDC(nullptr));
    Util::UniqueMemoryDc to(::CreateCompatibleDC(nullptr));
    if (!copy || !from || !to) return Util::UniqueGdiObject();
    Util::SelectGuard fromSelected(from.get(), source);
    Util::SelectGuard toSelected(to.get(), copy.get());
    ::BitBlt(to.get(), 0, 0, info.bmWidth, std::abs(info.bmHeight), from.get(), 0, 0, SRCCOPY);
    return copy;
}

}  // namespace TarselUI
