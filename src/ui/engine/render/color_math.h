#pragma once
// Colour arithmetic of the render engine: the hue/saturation/luminance
// adjustment and the banded gradient used where the platform has no
// gradient fill. Pure functions over 0xAARRGGBB values.

#include <windows.h>

#include <vector>

namespace TarselUI {

// The platform's COLORREF (red, green, blue) of an ARGB colour.
inline COLORREF ToColorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Hue 180, saturation 100 and luminance 100 leave a colour unchanged; the
// hue is shifted by (h - 180) degrees and saturation and luminance scaled
// by s / 100 and l / 100. Alpha is kept.
DWORD AdjustColorHsl(DWORD argb, short h, short s, short l);

// The constant opacity a gradient between two colours is drawn with.
inline BYTE GradientOpacity(DWORD first, DWORD second) {
    return static_cast<BYTE>(((first >> 24) + (second >> 24)) / 2);
}

struct TColorBand {
    RECT rc;
    DWORD rgb;  // 0x00RRGGBB
};

// The bands of the fallback gradient: 2^k bands for k chosen by `steps`,
// band i counted from the bottom (vertical) or right edge.
std::vector<TColorBand> GradientBands(const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);

}  // namespace TarselUI
