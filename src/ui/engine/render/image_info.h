#pragma once
// A decoded image as the engine draws it: a 32-bit top-down DIB section in
// blue, green, red, alpha order with the colours premultiplied by alpha.

#include <windows.h>

#include "ui/engine/base/ui_string.h"

namespace TarselUI {

struct tagTImageInfo {
    HBITMAP hBitmap;
    int nWidth;
    int nHeight;
    // Some pixel is not fully opaque: draw with alpha blending.
    bool bAlphaChannel;
    // What the image was loaded with; recorded by the image cache.
    CUIString sResType;
    DWORD dwMask;
};

using TImageInfo = tagTImageInfo;

}  // namespace TarselUI
