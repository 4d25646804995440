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

// A 64-bit intermediate brought back into int range: skins may give any
// size or padding, and their sums must not wrap around.
inline int SaturateToInt(long long value) {
    if (value > 0x7FFFFFFFLL) return 0x7FFFFFFF;
    if (value < -0x7FFFFFFFLL - 1) return -0x7FFFFFFF - 1;
    return static_cast<int>(value);
}

// The tile layout's column count. With an item width, as many cells as fit
// `areaWidth` when cells stand `itemWidth + childPadding` apart, at least
// one; cells that do not advance (that pitch 0 or less) get one column.
// Without an item width, `fixedColumns` (at least one).
int TileColumnCount(int areaWidth, int itemWidth, int childPadding, int fixedColumns);

// Each cell's width when the tile layout has no item width: `columns`
// cells and the paddings between them share `areaWidth`; never negative.
int TileCellWidth(int areaWidth, int columns, int childPadding);

}  // namespace TarselUI
