// Floating child placement.

#include "ui/engine/layout/layout_math.h"

namespace TarselUI {

RECT FloatChildRect(const RECT& parent, SIZE fixedXY, SIZE fixedSize, TRelativePosUI& relative) {
    RECT rc{};
    if (fixedXY.cx >= 0) {
        rc.left = parent.left + fixedXY.cx;
        rc.right = rc.left + fixedSize.cx;
    } else {
        rc.right = parent.right + fixedXY.cx;
        rc.left = rc.right - fixedSize.cx;
    }
    if (fixedXY.cy >= 0) {
        rc.top = parent.top + fixedXY.cy;
        rc.bottom = rc.top + fixedSize.cy;
    } else {
        rc.bottom = parent.bottom + fixedXY.cy;
        rc.top = rc.bottom - fixedSize.cy;
    }
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
