// Image loading: encoded bytes to a premultiplied 32-bit DIB section.

#include <stb_image.h>

#include <memory>
#include <vector>

#include "ui/engine/render/image_bytes.h"
#include "ui/engine/render/image_pixels.h"
#include "ui/engine/render/render_engine.h"
#include "util/unique_handle.h"

namespace TarselUI {

namespace {

struct StbPixelsFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

TImageInfo* CRenderEngine::LoadImageW(STRINGorID bitmap, LPCWSTR type, DWORD mask) {
    std::vector<std::uint8_t> bytes;
    if (!ReadImageBytes(bitmap, type, bytes)) return nullptr;
    if (bytes.size() > 0x7FFFFFFF) return nullptr;

    int width = 0, height = 0, components = 0;
    std::unique_ptr<stbi_uc, StbPixelsFree> rgba(stbi_load_from_memory(
        bytes.data(), static_cast<int>(bytes.size()), &width, &height, &components, 4));
    if (!rgba || width <= 0 || height <= 0) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* bits = nullptr;
    Util::UniqueGdiObject dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return nullptr;

    const bool hasAlpha = ConvertToPremultipliedBgra(
        rgba.get(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height), mask,
        static_cast<std::uint8_t*>(bits));

    auto* image = new (std::nothrow) TImageInfo{};
    if (!image) return nullptr;
    image->hBitmap = static_cast<HBITMAP>(dib.release());
    image->nWidth = width;
    image->nHeight = height;
    image->bAlphaChannel = hasAlpha;
    image->dwMask = 0;
    return image;
}

void CRenderEngine::FreeImage(TImageInfo* bitmap) {
    if (!bitmap) return;
    if (bitmap->hBitmap) ::DeleteObject(bitmap->hBitmap);
    delete bitmap;
}

}  // namespace TarselUI
