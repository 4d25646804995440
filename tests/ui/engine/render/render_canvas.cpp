#include "render_canvas.h"

#include <cstdlib>

namespace rendertest {

namespace {

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

Canvas::Canvas(int width, int height, DWORD fillArgb)
    : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr)) {
    void* bits = nullptr;
    bitmap_.reset(CreateTopDownDib(width, height, &bits));
    bits_ = static_cast<std::uint32_t*>(bits);
    ::SelectObject(dc_.get(), bitmap_.get());
    Fill(fillArgb);
}

void Canvas::Fill(DWORD argb) {
    ::GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = argb;
}

Rgb Canvas::At(int x, int y) const {
    ::GdiFlush();
    const std::uint32_t pixel = bits_[y * width_ + x];
    return Rgb{static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
               static_cast<int>(pixel & 0xFF)};
}

HBITMAP MakeImage(int width, int height, const std::vector<DWORD>& argb) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    auto* out = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const DWORD a = argb[i] >> 24;
        const DWORD r = ((argb[i] >> 16) & 0xFF) * a / 255;
        const DWORD g = ((argb[i] >> 8) & 0xFF) * a / 255;
        const DWORD b = (argb[i] & 0xFF) * a / 255;
        out[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return bitmap;
}

bool Near(const Rgb& actual, const Rgb& expected, int tolerance) {
    return std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
           std::abs(actual.b - expected.b) <= tolerance;
}

}  // namespace rendertest
