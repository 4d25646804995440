#pragma once
// The drop shadow's picture, computed without any window: the owner's shape
// comes in as one horizontal span per row, the result is a 32-bit
// premultiplied-alpha bitmap ready for UpdateLayeredWindow.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "util/unique_handle.h"

namespace TarselUI {

// Pixels [start, end) of one row; a row with start >= end is empty.
struct ShadowSpan {
    int start;
    int end;
    bool Empty() const { return start >= end; }
};

struct ShadowParams {
    int size = 0;        // how far the shadow reaches beyond the owner, -20..20
    int sharpness = 5;   // width of the blurred border, 0..20
    int darkness = 150;  // opacity of the core, 0..255
    int offsetX = 5;     // shift relative to the owner, -20..20
    int offsetY = 5;
    COLORREF color = 0;  // 0x00BBGGRR
};

// The ranges both shadows' setters accept; a value outside is refused and
// the setting kept.
inline bool ShadowSizeOrOffsetInRange(int value) { return value >= -20 && value <= 20; }
inline bool ShadowSharpnessInRange(unsigned value) { return value <= 20; }
inline bool ShadowDarknessInRange(unsigned value) { return value <= 255; }

// The colour's red, green and blue scaled by alpha / 255, packed 0x00RRGGBB.
DWORD ShadowPreMultiply(COLORREF color, unsigned alpha);

// The owner's spans from a hit test. The shape is taken to be one piece
// without holes, so only the ends of each row are probed. A row without any
// point inside is (width, 0).
std::vector<ShadowSpan> OwnerSpans(int width, int height, const std::function<bool(int x, int y)>& inside);

// Size of the shadow bitmap for an owner of width x height; zero or negative
// when a negative shadow size swallows the whole owner.
inline int ShadowExtent(int ownerExtent, int size) { return ownerExtent + 2 * size; }

// Fills `pixels` (ShadowExtent(width) x ShadowExtent(height) values of
// 0xAARRGGBB, rows stored bottom-up as in a DIB with positive height, cleared
// to 0 by the caller) with the shadow of an owner whose shape is `ownerSpans`
// (one per owner row). Does nothing when the bitmap would be empty or the
// span list does not match the height.
void MakeShadow(std::uint32_t* pixels, int ownerWidth, int ownerHeight,
                const std::vector<ShadowSpan>& ownerSpans, const ShadowParams& params);

// A 32-bit DIB section of width x height laid out as MakeShadow writes
// (rows bottom-up) and cleared to 0, its bits in `pixels`; null when it
// cannot be made.
Util::UniqueGdiObject CreateShadowDib(int width, int height, std::uint32_t** pixels);

// Index into a MakeShadow bitmap of the pixel at `column` on `line`, lines
// counted from the top.
inline std::size_t ShadowPixelIndex(int shadowWidth, int shadowHeight, int line, int column) {
    return static_cast<std::size_t>(shadowHeight - 1 - line) * shadowWidth + column;
}

}  // namespace TarselUI
