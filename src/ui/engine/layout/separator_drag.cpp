// Separator drag arithmetic.

#include "ui/engine/layout/separator_drag.h"

namespace TarselUI {

bool DragSeparator(int sepSize, int delta, int point, int minExtent, int maxExtent, SeparatorSpan& span) {
    SeparatorSpan moved = span;
    if (sepSize >= 0) {
        if (delta > 0 && point < moved.high + sepSize) return false;
        if (delta < 0 && point > moved.high) return false;
        moved.high += delta;
    } else {
        if (delta > 0 && point < moved.low) return false;
        if (delta < 0 && point > moved.low + sepSize) return false;
        moved.low += delta;
    }
    // Hold the extent inside its limits by moving the dragged edge back.
    auto holdAt = [sepSize, &moved](int extent) {
        if (sepSize >= 0) {
            moved.high = moved.low + extent;
        } else {
            moved.low = moved.high - extent;
        }
    };
    const int current = span.high - span.low;
    const int extent = moved.high - moved.low;
    if (extent <= minExtent) {
        if (current <= minExtent) return false;
        holdAt(minExtent);
    }
    if (extent >= maxExtent) {
        if (current >= maxExtent) return false;
        holdAt(maxExtent);
    }
    span = moved;
    return true;
}

SeparatorSpan SeparatorThumb(int sepSize, SeparatorSpan span, bool heldInside) {
    if (sepSize >= 0) {
        const int low = span.high - sepSize;
        return SeparatorSpan{(heldInside && low < span.low) ? span.low : low, span.high};
    }
    const int high = span.low - sepSize;
    return SeparatorSpan{span.low, (heldInside && high > span.high) ? span.high : high};
}

}  // namespace TarselUI
