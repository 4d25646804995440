#include "ui/engine/render/color_math.h"

#include <algorithm>
#include <cmath>

// Rounding at the colour and alpha boundaries must not depend on the
// architecture: doubles are evaluated as doubles (SSE2 on i686 too).
static_assert(__FLT_EVAL_METHOD__ == 0, "floating point is evaluated in extended precision");

namespace TarselUI {

namespace {

struct Hsl {
    double h, s, l;  // degrees, 0..1, 0..1
};

Hsl RgbToHsl(double r, double g, double b) {
    const double maxC = std::max({r, g, b});
    const double minC = std::min({r, g, b});
    Hsl out{0.0, 0.0, (maxC + minC) / 2.0};
    const double delta = maxC - minC;
    if (delta <= 0.0) return out;
    out.s = out.l <= 0.5 ? delta / (maxC + minC) : delta / (2.0 - maxC - minC);
    if (maxC == r) {
        out.h = 60.0 * std::fmod((g - b) / delta, 6.0);
    } else if (maxC == g) {
        out.h = 60.0 * ((b - r) / delta + 2.0);
    } else {
        out.h = 60.0 * ((r - g) / delta + 4.0);
    }
    if (out.h < 0.0) out.h += 360.0;
    return out;
}

double HueToChannel(double p, double q, double t) {
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

int ToByte(double channel) {
    const double scaled = channel * 255.0;
    if (scaled <= 0.0) return 0;
    if (scaled >= 255.0) return 255;
    return static_cast<int>(scaled);
}

}  // namespace

DWORD AdjustColorHsl(DWORD argb, short h, short s, short l) {
    if (h == 180 && s == 100 && l == 100) return argb;
    const double r = ((argb >> 16) & 0xFF) / 255.0;
    const double g = ((argb >> 8) & 0xFF) / 255.0;
    const double b = (argb & 0xFF) / 255.0;
    Hsl hsl = RgbToHsl(r, g, b);
    hsl.h += h - 180;
    if (hsl.h <= 0.0) hsl.h += 360.0;
    if (hsl.h > 360.0) hsl.h -= 360.0;
    hsl.s *= s / 100.0;
    hsl.l *= l / 100.0;
    hsl.s = std::min(hsl.s, 1.0);
    hsl.l = std::min(hsl.l, 1.0);

    double outR, outG, outB;
    if (hsl.s <= 0.0) {
        outR = outG = outB = hsl.l;
    } else {
        const double q = hsl.l < 0.5 ? hsl.l * (1.0 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
        const double p = 2.0 * hsl.l - q;
        const double hue = hsl.h / 360.0;
        outR = HueToChannel(p, q, hue + 1.0 / 3.0);
        outG = HueToChannel(p, q, hue);
        outB = HueToChannel(p, q, hue - 1.0 / 3.0);
    }
    return (argb & 0xFF000000) | (static_cast<DWORD>(ToByte(outR)) << 16) |
           (static_cast<DWORD>(ToByte(outG)) << 8) | static_cast<DWORD>(ToByte(outB));
}

std::vector<TColorBand> GradientBands(const RECT& rc, DWORD first, DWORD second, bool vertical, int steps) {
    int shift = 6;
    if (steps < 4) shift = 1;
    else if (steps < 8) shift = 2;
    else if (steps < 16) shift = 3;
    else if (steps < 32) shift = 4;
    else if (steps < 64) shift = 5;
    const int bands = 1 << shift;
    const LONG extent = vertical ? rc.bottom - rc.top : rc.right - rc.left;
    std::vector<TColorBand> out;
    for (int i = 0; i < bands; ++i) {
        auto mix = [&](int bitShift) {
            const DWORD a = (first >> bitShift) & 0xFF, b = (second >> bitShift) & 0xFF;
            return ((b * (bands - i) + a * i) >> shift) << bitShift;
        };
        RECT band = rc;
        // Band i counted from the far edge; integer edges keep the bands
        // touching with no gap.
        const LONG nearEdge = static_cast<LONG>((static_cast<long long>(extent) * i) / bands);
        const LONG farEdge = static_cast<LONG>((static_cast<long long>(extent) * (i + 1)) / bands);
        if (vertical) {
            band.bottom = rc.bottom - nearEdge;
            band.top = rc.bottom - farEdge;
        } else {
            band.right = rc.right - nearEdge;
            band.left = rc.right - farEdge;
        }
        out.push_back(TColorBand{band, mix(16) | mix(8) | mix(0)});
    }
    return out;
}

}  // namespace TarselUI
