// Floating child placement.

#include "ui/engine/controls/layout_math.h"

namespace TarselUI {

namespace {

// One axis of a floating child: a negative offset counts from the far edge.
void PlaceFloatSpan(LONG parentLow, LONG parentHigh, LONG offset, LONG size, LONG& low, LONG& high) {
    if (offset >= 0) {
        low = parentLow + offset;
        high = low + size;
    } else {
        high = parentHigh + offset;
        low = high - size;
    }
}

}  // namespace

int TileColumnCount(int areaWidth, int itemWidth, int childPadding, int fixedColumns) {
    if (itemWidth <= 0) return fixedColumns > 0 ? fixedColumns : 1;
    const long long pitch = static_cast<long long>(itemWidth) + childPadding;
    if (pitch <= 0) return 1;
    const long long columns = (static_cast<long long>(areaWidth) + childPadding) / pitch;
    return columns < 1 ? 1 : SaturateToInt(columns);
}

int TileCellWidth(int areaWidth, int columns, int childPadding) {
    if (columns < 1) columns = 1;
    const long long width =
        (static_cast<long long>(areaWidth) - static_cast<long long>(columns - 1) * childPadding) / columns;
    return width < 0 ? 0 : SaturateToInt(width);
}

RECT FloatChildRect(const RECT& parent, SIZE fixedXY, SIZE fixedSize, TRelativePosUI& relative) {
    RECT rc{};
    PlaceFloatSpan(parent.left, parent.right, fixedXY.cx, fixedSize.cx, rc.left, rc.right);
    PlaceFloatSpan(parent.top, parent.bottom, fixedXY.cy, fixedSize.cy, rc.top, rc.bottom);
    if (relative.bRelative) {
        const int width = parent.right - parent.left;
        const int height = parent.bottom - parent.top;
        if (relative.szParent.cx != 0) {
            const int dx = width - relative.szParent.cx;
            const int dy = height - relative.szParent.cy;
            rc.left += dx * relative.nMoveXPercent / 100;
            rc.top += dy * relative.nMoveYPercent / 100;
            rc.right = rc.left + fixedSize.cx + dx * relative.nZoomXPercent / 100;
            rc.bottom = rc.top + fixedSize.cy + dy * relative.nZoomYPercent / 100;
        }
        relative.szParent = SIZE{width, height};
    }
    return rc;
}

}  // namespace TarselUI
