#pragma once
// The axis a box layout runs along, and the few places where the vertical
// and horizontal layouts are not simply each other with x and y exchanged.
// The accessors read the primary (along the axis) or secondary (across it)
// part of sizes, rectangles, paddings and a child's limits, so the layout
// arithmetic is written once.

#include <windows.h>

#include "ui/engine/controls/control.h"

namespace TarselUI {

struct BoxAxis {
    // Children run top to bottom when true, left to right when false.
    bool vertical;

    // The separator size attribute: its thickness across the dragged edge.
    const wchar_t* sepAttribute;

    // --- Where the two layouts differ beyond exchanging the axes ---

    // Without children, the visible scroll bars are still taken off the
    // content rectangle handed to ProcessScrollBar. The horizontal layout
    // hands over the rectangle less only the inset.
    bool barsTrimmedWhenEmpty;

    // Children start across the axis less the cross bar's scroll position.
    // The vertical layout follows the horizontal bar; the horizontal layout
    // always starts at the top, whatever the vertical bar's position.
    bool crossFollowsScroll;

    // A separator thicker than the layout keeps its thumb inside the
    // layout. The horizontal layout's thumb always has the full thickness,
    // even when that reaches past the opposite edge.
    bool thumbHeldInside;

    // --- Sizes and rectangles ---

    LONG Along(const SIZE& s) const { return vertical ? s.cy : s.cx; }
    LONG Across(const SIZE& s) const { return vertical ? s.cx : s.cy; }
    LONG& Along(SIZE& s) const { return vertical ? s.cy : s.cx; }
    SIZE MakeSize(LONG along, LONG across) const { return vertical ? SIZE{across, along} : SIZE{along, across}; }

    // Start and end along the axis (top and bottom, or left and right); a
    // padding's start and end are the padding before and after the child.
    LONG Start(const RECT& r) const { return vertical ? r.top : r.left; }
    LONG End(const RECT& r) const { return vertical ? r.bottom : r.right; }
    LONG& Start(RECT& r) const { return vertical ? r.top : r.left; }
    LONG& End(RECT& r) const { return vertical ? r.bottom : r.right; }
    LONG CrossStart(const RECT& r) const { return vertical ? r.left : r.top; }
    LONG CrossEnd(const RECT& r) const { return vertical ? r.right : r.bottom; }
    LONG Length(const RECT& r) const { return End(r) - Start(r); }
    LONG Breadth(const RECT& r) const { return CrossEnd(r) - CrossStart(r); }
    RECT MakeRect(LONG start, LONG end, LONG crossStart, LONG crossEnd) const {
        return vertical ? RECT{crossStart, start, crossEnd, end} : RECT{start, crossStart, end, crossEnd};
    }
    LONG Along(const POINT& p) const { return vertical ? p.y : p.x; }

    // --- A control's limits ---

    int MinAlong(const CControlUI& c) const { return vertical ? c.GetMinHeight() : c.GetMinWidth(); }
    int MaxAlong(const CControlUI& c) const { return vertical ? c.GetMaxHeight() : c.GetMaxWidth(); }
    int MinAcross(const CControlUI& c) const { return vertical ? c.GetMinWidth() : c.GetMinHeight(); }
    int MaxAcross(const CControlUI& c) const { return vertical ? c.GetMaxWidth() : c.GetMaxHeight(); }
    int FixedAcross(const CControlUI& c) const { return vertical ? c.GetFixedWidth() : c.GetFixedHeight(); }

    LPCWSTR ResizeCursor() const { return vertical ? IDC_SIZENS : IDC_SIZEWE; }
};

inline constexpr BoxAxis kVerticalBox{
    .vertical = true,
    .sepAttribute = L"sepheight",
    .barsTrimmedWhenEmpty = true,
    .crossFollowsScroll = true,
    .thumbHeldInside = true,
};

inline constexpr BoxAxis kHorizontalBox{
    .vertical = false,
    .sepAttribute = L"sepwidth",
    .barsTrimmedWhenEmpty = false,
    .crossFollowsScroll = false,
    .thumbHeldInside = false,
};

}  // namespace TarselUI
