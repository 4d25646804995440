#include "ui/engine/render/shadow_bitmap.h"

#include <algorithm>
#include <cmath>

// Rounding at the colour and alpha boundaries must not depend on the
// architecture: doubles are evaluated as doubles (SSE2 on i686 too).
static_assert(__FLT_EVAL_METHOD__ == 0, "floating point is evaluated in extended precision");

namespace TarselUI {

namespace {

// The shadow's rows as spans, indexed so that row 0 and the last row are
// always empty: erosion and the edge tests look one row up and one down
// without bounds checks.
class SpanTable {
public:
    SpanTable(const std::vector<ShadowSpan>& owner, int ownerWidth, int ownerHeight, int size,
              int shadowHeight)
        : rows_(static_cast<std::size_t>(std::max(ownerHeight, shadowHeight)) + 2,
                ShadowSpan{ownerWidth, 0}),
          firstLine_(1 + std::max(-size, 0)) {
        // A positive size leaves `size` empty rows above the owner (and as
        // many below); its spans move right by the same amount.
        const int firstOwnerRow = 1 + std::max(size, 0);
        for (int y = 0; y < ownerHeight; ++y)
            rows_[y + firstOwnerRow] = ShadowSpan{owner[y].start + size, owner[y].end + size};
    }

    // One pixel off every edge, top and bottom included, per round.
    void Erode(int rounds) {
        std::vector<ShadowSpan> next = rows_;
        for (int round = 0; round < rounds; ++round) {
            for (std::size_t j = 1; j + 1 < rows_.size(); ++j) {
                next[j].start = std::max({rows_[j - 1].start, rows_[j].start, rows_[j + 1].start}) + 1;
                next[j].end = std::min({rows_[j - 1].end, rows_[j].end, rows_[j + 1].end}) - 1;
            }
            rows_.swap(next);
        }
    }

    // Span of shadow line `line`; lines -1 and the shadow's height are valid.
    const ShadowSpan& Line(int line) const { return rows_[line + firstLine_]; }

private:
    std::vector<ShadowSpan> rows_;
    int firstLine_;
};

// The shadow bitmap with every write clipped to it.
class ShadowCanvas {
public:
    ShadowCanvas(std::uint32_t* pixels, int width, int height)
        : pixels_(pixels), width_(width), height_(height) {}

    void Fill(int line, int from, int to, std::uint32_t value) {
        if (line < 0 || line >= height_) return;
        from = std::max(from, 0);
        to = std::min(to, width_);
        for (int x = from; x < to; ++x) pixels_[ShadowPixelIndex(width_, height_, line, x)] = value;
    }

    // Keeps the larger value under each kernel cell, so overlapping stamps
    // along an edge never lighten each other.
    void Stamp(int line, int column, const std::vector<std::uint32_t>& kernel, int radius) {
        const int side = 2 * radius + 1;
        for (int u = 0; u < side; ++u) {
            const int y = line - radius + u;
            if (y < 0 || y >= height_) continue;
            for (int v = 0; v < side; ++v) {
                const int x = column - radius + v;
                if (x < 0 || x >= width_) continue;
                std::uint32_t& pixel = pixels_[ShadowPixelIndex(width_, height_, y, x)];
                pixel = std::max(pixel, kernel[static_cast<std::size_t>(u) * side + v]);
            }
        }
    }

private:
    std::uint32_t* pixels_;
    int width_;
    int height_;
};

std::uint32_t ShadowPixel(COLORREF color, unsigned alpha) {
    return (static_cast<std::uint32_t>(alpha) << 24) | ShadowPreMultiply(color, alpha);
}

// A disc of full darkness (radius `core`) fading linearly to the rim.
std::vector<std::uint32_t> MakeKernel(int radius, int core, const ShadowParams& params) {
    const int side = 2 * radius + 1;
    std::vector<std::uint32_t> kernel(static_cast<std::size_t>(side) * side, 0);
    for (int u = 0; u < side; ++u) {
        for (int v = 0; v < side; ++v) {
            const double dist = std::sqrt(static_cast<double>((u - radius) * (u - radius) + (v - radius) * (v - radius)));
            unsigned alpha = 0;
            if (dist < core)
                alpha = static_cast<unsigned>(params.darkness);
            else if (dist <= radius)
                alpha = static_cast<unsigned>((1.0 - (dist - core) / (params.sharpness + 1)) * params.darkness);
            kernel[static_cast<std::size_t>(u) * side + v] = ShadowPixel(params.color, alpha);
        }
    }
    return kernel;
}

std::vector<ShadowSpan> ClampedSpans(const std::vector<ShadowSpan>& spans, int width) {
    std::vector<ShadowSpan> clamped;
    clamped.reserve(spans.size());
    for (ShadowSpan span : spans) {
        span.start = std::clamp(span.start, 0, width);
        span.end = std::clamp(span.end, 0, width);
        clamped.push_back(span.Empty() ? ShadowSpan{width, 0} : span);
    }
    return clamped;
}

}  // namespace

DWORD ShadowPreMultiply(COLORREF color, unsigned alpha) {
    const DWORD red = GetRValue(color) * alpha / 255;
    const DWORD green = GetGValue(color) * alpha / 255;
    const DWORD blue = GetBValue(color) * alpha / 255;
    return (red << 16) | (green << 8) | blue;
}

std::vector<ShadowSpan> OwnerSpans(int width, int height, const std::function<bool(int x, int y)>& inside) {
    std::vector<ShadowSpan> spans;
    spans.reserve(static_cast<std::size_t>(std::max(height, 0)));
    for (int y = 0; y < height; ++y) {
        int start = 0;
        while (start < width && !inside(start, y)) ++start;
        if (start == width) {
            spans.push_back(ShadowSpan{width, 0});
            continue;
        }
        int last = width - 1;
        while (last > start && !inside(last, y)) --last;
        spans.push_back(ShadowSpan{start, last + 1});
    }
    return spans;
}

void MakeShadow(std::uint32_t* pixels, int ownerWidth, int ownerHeight,
                const std::vector<ShadowSpan>& ownerSpans, const ShadowParams& params) {
    const int s = params.size;
    const int k = params.sharpness;
    const int shadowWidth = ShadowExtent(ownerWidth, s);
    const int shadowHeight = ShadowExtent(ownerHeight, s);
    if (!pixels || ownerWidth <= 0 || ownerHeight <= 0 || shadowWidth <= 0 || shadowHeight <= 0 ||
        ownerSpans.size() != static_cast<std::size_t>(ownerHeight))
        return;
    const std::vector<ShadowSpan> owner = ClampedSpans(ownerSpans, ownerWidth);

    // Pass 1: the owner's rows placed in the shadow, shrunk by the part of
    // the blur that must stay inside the silhouette.
    SpanTable lines(owner, ownerWidth, ownerHeight, s, shadowHeight);
    if (k - s > 0) lines.Erode(k - s);

    // Pass 2: stamp the kernel along the left and right ends of each line;
    // where a line sticks out past its neighbours the whole overhang is an
    // edge and gets stamped too.
    const int radius = std::max(s, k);
    const int core = s > k ? s - k : 0;
    const std::vector<std::uint32_t> kernel = MakeKernel(radius, core, params);
    ShadowCanvas canvas(pixels, shadowWidth, shadowHeight);
    for (int i = radius; i < shadowHeight - radius; ++i) {
        const ShadowSpan& span = lines.Line(i);
        if (span.Empty()) continue;
        const ShadowSpan& above = lines.Line(i - 1);
        const ShadowSpan& below = lines.Line(i + 1);
        int j = span.start;
        for (const int leftEnd = std::min(std::max(above.start, below.start) + 1, span.end); j < leftEnd; ++j)
            canvas.Stamp(i, j, kernel, radius);
        for (j = std::max(j, std::min(above.end, below.end) - 1); j < span.end; ++j)
            canvas.Stamp(i, j, kernel, radius);
    }

    // Pass 3: fill each line's interior at full darkness, and clear what
    // lies under the owner so the shadow never tints the window itself.
    const std::uint32_t centre = ShadowPixel(params.color, static_cast<unsigned>(params.darkness));
    const int firstLine = std::min(radius, std::max(s - params.offsetY, 0));
    const int endLine = std::min(std::max(shadowHeight - radius, std::min(ownerHeight + s - params.offsetY, ownerHeight + 2 * s)),
                                 shadowHeight);
    for (int i = firstLine; i < endLine; ++i) {
        const ShadowSpan& span = lines.Line(i);
        const int ownerRow = i - s + params.offsetY;
        if (ownerRow < 0 || ownerRow >= ownerHeight) {
            canvas.Fill(i, span.start, span.end, centre);
            continue;
        }
        const int holeStart = owner[ownerRow].start + s - params.offsetX;
        const int holeEnd = owner[ownerRow].end + s - params.offsetX;
        canvas.Fill(i, span.start, std::min(holeStart, span.end), centre);
        canvas.Fill(i, holeStart, holeEnd, 0);
        canvas.Fill(i, std::max(holeEnd, span.start), span.end, centre);
    }
}

Util::UniqueGdiObject CreateShadowDib(int width, int height, std::uint32_t** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Util::UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return Util::UniqueGdiObject();
    ZeroMemory(bits, static_cast<std::size_t>(width) * height * 4);
    *pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

}  // namespace TarselUI
