#pragma once
// One mouse move of a layout's separator drag along its axis, as pure
// arithmetic: the vertical layout passes tops and bottoms, the horizontal
// one lefts and rights.

namespace TarselUI {

struct SeparatorSpan {
    int low;   // top or left edge of the layout's new position
    int high;  // bottom or right edge
};

// `sepSize` >= 0 drags the high edge, < 0 the low edge. `delta` is the
// pointer's move since the last event and `point` its position along the
// axis. Returns false when the move is ignored (span left unchanged).
bool DragSeparator(int sepSize, int delta, int point, int minExtent, int maxExtent, SeparatorSpan& span);

// The thumb's extent along the axis on `span`. With `heldInside` a span
// thinner than the separator cuts the thumb short at its other edge;
// without, the thumb keeps the separator's full thickness.
SeparatorSpan SeparatorThumb(int sepSize, SeparatorSpan span, bool heldInside = true);

}  // namespace TarselUI
