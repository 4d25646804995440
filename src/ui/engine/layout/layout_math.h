#pragma once
// The arithmetic of child placement, kept free of controls so tests can
// check it number by number.

#include <windows.h>

#include "ui/engine/controls/control.h"

namespace TarselUI {

// The minimum first, then the maximum, so the maximum wins a conflict.
inline int ClampExtent(int value, int minimum, int maximum) {
    if (value < minimum) value = minimum;
    if (value > maximum) value = maximum;
    return value;
}

// Where a floating child goes inside `parent`: negative offsets count from
// the right or bottom edge. With a relative position the child moves and
// grows by percentages of how much the parent changed since the last pass,
// and `relative.szParent` takes the parent's current size.
RECT FloatChildRect(const RECT& parent, SIZE fixedXY, SIZE fixedSize, TRelativePosUI& relative);

// The even share of the leftover space for each stretchable child.
inline int StretchShare(int available, int fixedTotal, int stretchCount) {
    if (stretchCount <= 0) return 0;
    const int share = (available - fixedTotal) / stretchCount;
    return share > 0 ? share : 0;
}

}  // namespace TarselUI
