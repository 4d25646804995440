// Placement arithmetic of the vertical and horizontal layouts on trees
// without a window: positions come only from SetPos and the children's
// sizes, paddings and limits.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/engine/controls/container.h"
#include "ui/engine/controls/layout_math.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/layout/horizontal_layout.h"
#include "ui/engine/layout/separator_drag.h"
#include "ui/engine/layout/vertical_layout.h"

namespace TarselUI {
namespace {

struct Child {
    int fixed;          // size along the axis, 0 = stretch
    bool visible = true;
    LPCWSTR attributes = L"";  // extra attribute list
};

// Builds children into the layout (which owns them) and returns them.
std::vector<CControlUI*> AddChildren(CContainerUI& layout, const std::vector<Child>& children, bool vertical) {
    std::vector<CControlUI*> made;
    for (const Child& wanted : children) {
        auto* child = new CControlUI;
        if (vertical) {
            child->SetFixedHeight(wanted.fixed);
        } else {
            child->SetFixedWidth(wanted.fixed);
        }
        child->ApplyAttributeList(wanted.attributes);
        if (!wanted.visible) child->SetVisible(false);
        layout.Add(child);
        made.push_back(child);
    }
    return made;
}

struct Span {
    long from;
    long to;
};

std::vector<Span> VerticalSpans(const std::vector<CControlUI*>& children) {
    std::vector<Span> spans;
    for (CControlUI* child : children) {
        if (child->IsVisible()) spans.push_back({child->GetPos().top, child->GetPos().bottom});
    }
    return spans;
}

std::vector<Span> HorizontalSpans(const std::vector<CControlUI*>& children) {
    std::vector<Span> spans;
    for (CControlUI* child : children) {
        if (child->IsVisible()) spans.push_back({child->GetPos().left, child->GetPos().right});
    }
    return spans;
}

void ExpectSpans(const std::vector<Span>& actual, const std::vector<Span>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].from, expected[i].from) << "child " << i;
        EXPECT_EQ(actual[i].to, expected[i].to) << "child " << i;
    }
}

struct VerticalCase {
    const char* name;
    int height;
    int childPadding;
    std::vector<Child> children;
    std::vector<Span> expected;  // visible children only
};

TEST(VerticalLayoutArithmetic, PlacesChildrenAlongTheAxis) {
    const std::vector<VerticalCase> cases = {
        {"update hint column", 266, 0, {{150}, {36}, {20}, {30}, {30}},
         {{0, 150}, {150, 186}, {186, 206}, {206, 236}, {236, 266}}},
        {"three stretch children", 100, 0, {{0}, {0}, {0}}, {{0, 33}, {33, 66}, {66, 100}}},
        {"padding lies inside the rectangle", 200, 0, {{40, true, L"padding=\"0,5,0,5\""}, {10}},
         {{5, 50}, {50, 60}}},
        {"stretch child after a padded child reaches the bottom", 100, 0,
         {{40, true, L"padding=\"0,5,0,5\""}, {0, true, L"padding=\"0,2,0,3\""}}, {{5, 50}, {52, 100}}},
        {"max height on the first stretch child", 100, 0, {{0, true, L"maxheight=\"20\""}, {0}},
         {{0, 20}, {20, 100}}},
        {"max height on the last stretch child", 100, 0, {{0}, {0, true, L"maxheight=\"20\""}},
         {{0, 50}, {50, 70}}},
        {"min height raises a stretch child", 100, 0, {{0, true, L"minheight=\"70\""}, {0}},
         {{0, 70}, {70, 100}}},
        {"child padding between visible children only", 100, 10, {{10}, {10, false}, {10}, {10}},
         {{0, 10}, {20, 30}, {40, 50}}},
        {"child padding shrinks the stretch share", 100, 10, {{0}, {0, false}, {0}}, {{0, 45}, {55, 100}}},
        {"fixed heights beyond the space leave stretch at 0", 50, 0, {{40}, {0}, {30}},
         {{0, 40}, {40, 40}, {40, 70}}},
    };
    for (const VerticalCase& c : cases) {
        SCOPED_TRACE(c.name);
        CVerticalLayoutUI layout;
        layout.SetChildPadding(c.childPadding);
        auto children = AddChildren(layout, c.children, true);
        layout.SetPos(RECT{0, 0, 380, c.height});
        ExpectSpans(VerticalSpans(children), c.expected);
        for (CControlUI* child : children) {
            if (child->IsVisible()) {
                EXPECT_EQ(child->GetPos().left, 0);
                EXPECT_EQ(child->GetPos().right, 380);
            }
        }
    }
}

TEST(VerticalLayoutArithmetic, InsetOffsetAndCrossAxisPaddingAndWidth) {
    CVerticalLayoutUI layout;
    layout.SetInset(RECT{10, 20, 30, 40});
    auto children = AddChildren(layout, {{0, true, L"padding=\"3,0,7,0\""}, {20, true, L"width=\"50\""}}, true);
    layout.SetPos(RECT{100, 100, 300, 300});
    // Content box: 110..270 wide, 120..260 high (140 high).
    EXPECT_EQ(children[0]->GetPos().left, 113);
    EXPECT_EQ(children[0]->GetPos().right, 263);
    EXPECT_EQ(children[0]->GetPos().top, 120);
    EXPECT_EQ(children[0]->GetPos().bottom, 240);
    EXPECT_EQ(children[1]->GetPos().left, 110);
    EXPECT_EQ(children[1]->GetPos().right, 160);
    EXPECT_EQ(children[1]->GetPos().bottom, 260);
}

struct HorizontalCase {
    const char* name;
    int width;
    std::vector<Child> children;
    std::vector<Span> expected;
};

TEST(HorizontalLayoutArithmetic, PlacesChildrenAlongTheAxis) {
    const std::vector<HorizontalCase> cases = {
        {"update hint button row", 380, {{0}, {90}, {90, false}, {32}, {90}, {90, false}, {0}},
         {{0, 84}, {84, 174}, {174, 206}, {206, 296}, {296, 380}}},
        {"three stretch children", 100, {{0}, {0}, {0}}, {{0, 33}, {33, 66}, {66, 100}}},
        {"right padding lies inside the rectangle", 200, {{40, true, L"padding=\"5,0,5,0\""}, {10}},
         {{5, 50}, {50, 60}}},
        {"max width on the first stretch child", 100, {{0, true, L"maxwidth=\"20\""}, {0}}, {{0, 20}, {20, 100}}},
        {"max width on the last stretch child", 100, {{0}, {0, true, L"maxwidth=\"20\""}}, {{0, 50}, {50, 70}}},
    };
    for (const HorizontalCase& c : cases) {
        SCOPED_TRACE(c.name);
        CHorizontalLayoutUI layout;
        auto children = AddChildren(layout, c.children, false);
        layout.SetPos(RECT{0, 236, c.width, 266});
        ExpectSpans(HorizontalSpans(children), c.expected);
        for (CControlUI* child : children) {
            if (child->IsVisible()) {
                EXPECT_EQ(child->GetPos().top, 236);
                EXPECT_EQ(child->GetPos().bottom, 266);
            }
        }
    }
}

TEST(HorizontalLayoutArithmetic, FixedHeightAndVerticalPadding) {
    CHorizontalLayoutUI layout;
    auto children = AddChildren(layout, {{30, true, L"height=\"12\" padding=\"0,4,0,0\""}, {0, true, L"padding=\"0,2,0,3\""}},
                                false);
    layout.SetPos(RECT{0, 0, 100, 40});
    EXPECT_EQ(children[0]->GetPos().top, 4);
    EXPECT_EQ(children[0]->GetPos().bottom, 16);
    EXPECT_EQ(children[1]->GetPos().top, 2);
    EXPECT_EQ(children[1]->GetPos().bottom, 37);
}

struct FloatCase {
    LPCWSTR pos;
    SIZE fixedXY;
    SIZE fixedSize;
    RECT placed;  // inside a container at (100,50)-(300,150)
};

TEST(FloatingChildren, NegativeOffsetsCountFromTheFarEdges) {
    const std::vector<FloatCase> cases = {
        {L"-50,-30,-10,-10", {-10, -10}, {40, 20}, {250, 120, 290, 140}},
        {L"-10,-10,0,0", {0, 0}, {10, 10}, {100, 50, 110, 60}},
        {L"20,10,60,40", {20, 10}, {40, 30}, {120, 60, 160, 90}},
        {L"10,-40,50,-10", {10, -10}, {40, 30}, {110, 110, 150, 140}},
    };
    for (const FloatCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "pos " << static_cast<const void*>(c.pos));
        CVerticalLayoutUI layout;
        auto* before = new CControlUI;
        before->SetFixedHeight(30);
        layout.Add(before);
        auto* floating = new CControlUI;
        floating->SetAttribute(L"float", L"true");
        floating->SetAttribute(L"pos", c.pos);
        layout.Add(floating);
        auto* after = new CControlUI;
        after->SetFixedHeight(30);
        layout.Add(after);

        EXPECT_EQ(floating->GetFixedXY().cx, c.fixedXY.cx);
        EXPECT_EQ(floating->GetFixedXY().cy, c.fixedXY.cy);
        EXPECT_EQ(floating->GetFixedWidth(), c.fixedSize.cx);
        EXPECT_EQ(floating->GetFixedHeight(), c.fixedSize.cy);

        layout.SetPos(RECT{100, 50, 300, 150});
        const RECT& pos = floating->GetPos();
        EXPECT_EQ(pos.left, c.placed.left);
        EXPECT_EQ(pos.top, c.placed.top);
        EXPECT_EQ(pos.right, c.placed.right);
        EXPECT_EQ(pos.bottom, c.placed.bottom);
        // A floating child takes no part in the flow.
        EXPECT_EQ(after->GetPos().top, 80);
    }
}

TEST(FloatingChildren, RelativePositionFollowsTheParentsGrowth) {
    TRelativePosUI relative{};
    relative.bRelative = true;
    relative.nMoveXPercent = 50;
    relative.nMoveYPercent = 100;
    relative.nZoomXPercent = 0;
    relative.nZoomYPercent = 50;
    // First pass only records the parent's size.
    RECT rc = FloatChildRect(RECT{0, 0, 200, 100}, SIZE{10, 10}, SIZE{20, 20}, relative);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.bottom, 30);
    EXPECT_EQ(relative.szParent.cx, 200);
    EXPECT_EQ(relative.szParent.cy, 100);
    // The parent grows by 101 x 30: moves of 50 and 30, height grows by 15.
    rc = FloatChildRect(RECT{0, 0, 301, 130}, SIZE{10, 10}, SIZE{20, 20}, relative);
    EXPECT_EQ(rc.left, 60);
    EXPECT_EQ(rc.top, 40);
    EXPECT_EQ(rc.right, 80);
    EXPECT_EQ(rc.bottom, 75);
    EXPECT_EQ(relative.szParent.cx, 301);
}

TEST(LayoutMath, ClampLetsTheMaximumWin) {
    EXPECT_EQ(ClampExtent(5, 10, 20), 10);
    EXPECT_EQ(ClampExtent(25, 10, 20), 20);
    EXPECT_EQ(ClampExtent(15, 30, 20), 20);
    EXPECT_EQ(StretchShare(100, 120, 2), 0);
    EXPECT_EQ(StretchShare(100, 0, 0), 0);
    EXPECT_EQ(StretchShare(380, 212, 2), 84);
}

TEST(SeparatorDrag, BottomEdgeFollowsThePointerWithinLimits) {
    SeparatorSpan span{0, 100};
    EXPECT_TRUE(DragSeparator(4, 10, 120, 0, 9999, span));
    EXPECT_EQ(span.high, 110);
    // Moving down while the pointer is still above the edge is ignored.
    EXPECT_FALSE(DragSeparator(4, 10, 105, 0, 9999, span));
    EXPECT_EQ(span.high, 110);
    // Shrinking below the minimum holds at the minimum.
    EXPECT_TRUE(DragSeparator(4, -80, 20, 50, 9999, span));
    EXPECT_EQ(span.high, 50);
    EXPECT_FALSE(DragSeparator(4, -10, 10, 50, 9999, span));
    EXPECT_EQ(span.high, 50);
    // The top edge for a negative size.
    SeparatorSpan top{100, 200};
    EXPECT_TRUE(DragSeparator(-4, -20, 80, 0, 9999, top));
    EXPECT_EQ(top.low, 80);
    EXPECT_EQ(top.high, 200);
}

TEST(SeparatorDrag, ThumbSitsOnTheChosenEdge) {
    SeparatorSpan thumb = SeparatorThumb(6, SeparatorSpan{10, 100});
    EXPECT_EQ(thumb.low, 94);
    EXPECT_EQ(thumb.high, 100);
    thumb = SeparatorThumb(-6, SeparatorSpan{10, 100});
    EXPECT_EQ(thumb.low, 10);
    EXPECT_EQ(thumb.high, 16);
    thumb = SeparatorThumb(6, SeparatorSpan{10, 13});
    EXPECT_EQ(thumb.low, 10);
}

// The two layouts are one flow with the axes exchanged: sizes, paddings and
// limits given along the axis give the same spans whichever layout runs them.
struct AxisChild {
    int fixed;        // along the axis, 0 = stretch
    int before = 0;   // padding before and after the child along the axis
    int after = 0;
    int minimum = 0;  // limits along the axis, 0 = none
    int maximum = 0;
    bool visible = true;
};

struct AxisCase {
    const char* name;
    int extent;  // the layout's extent along the axis
    int childPadding;
    std::vector<AxisChild> children;
    std::vector<Span> expected;  // visible children only
};

std::unique_ptr<CContainerUI> MakeLayout(bool vertical) {
    if (vertical) return std::make_unique<CVerticalLayoutUI>();
    return std::make_unique<CHorizontalLayoutUI>();
}

TEST(BoxLayoutArithmetic, BothAxesPlaceTheSameFlow) {
    const std::vector<AxisCase> cases = {
        {"three stretch children", 100, 0, {{0}, {0}, {0}}, {{0, 33}, {33, 66}, {66, 100}}},
        {"padding after lies inside the rectangle", 200, 0, {{40, 5, 5}, {10}}, {{5, 50}, {50, 60}}},
        {"stretch child after a padded child reaches the end", 100, 0, {{40, 5, 5}, {0, 2, 3}},
         {{5, 50}, {52, 100}}},
        {"maximum on the first stretch child", 100, 0, {{0, 0, 0, 0, 20}, {0}}, {{0, 20}, {20, 100}}},
        {"maximum on the last stretch child", 100, 0, {{0}, {0, 0, 0, 0, 20}}, {{0, 50}, {50, 70}}},
        {"minimum raises a stretch child", 100, 0, {{0, 0, 0, 70}, {0}}, {{0, 70}, {70, 100}}},
        {"minimum of the last stretch child overflows", 100, 0, {{80}, {0, 0, 0, 30}}, {{0, 80}, {80, 110}}},
        {"maximum shrinks a fixed child and the stretch child takes it", 100, 0, {{60, 0, 0, 0, 30}, {0}},
         {{0, 30}, {30, 100}}},
        {"child padding between visible children only", 100, 10, {{10}, {10, 0, 0, 0, 0, false}, {10}, {10}},
         {{0, 10}, {20, 30}, {40, 50}}},
        {"child padding shrinks the stretch share", 100, 10, {{0}, {0, 0, 0, 0, 0, false}, {0}},
         {{0, 45}, {55, 100}}},
        {"fixed sizes beyond the space leave stretch at 0", 50, 0, {{40}, {0}, {30}},
         {{0, 40}, {40, 40}, {40, 70}}},
    };
    for (bool vertical : {true, false}) {
        for (const AxisCase& c : cases) {
            SCOPED_TRACE(testing::Message() << (vertical ? "vertical: " : "horizontal: ") << c.name);
            std::unique_ptr<CContainerUI> layout = MakeLayout(vertical);
            layout->SetChildPadding(c.childPadding);
            std::vector<CControlUI*> children;
            for (const AxisChild& wanted : c.children) {
                auto* child = new CControlUI;
                if (vertical) {
                    child->SetFixedHeight(wanted.fixed);
                    child->SetPadding(RECT{0, wanted.before, 0, wanted.after});
                    if (wanted.minimum > 0) child->SetMinHeight(wanted.minimum);
                    if (wanted.maximum > 0) child->SetMaxHeight(wanted.maximum);
                } else {
                    child->SetFixedWidth(wanted.fixed);
                    child->SetPadding(RECT{wanted.before, 0, wanted.after, 0});
                    if (wanted.minimum > 0) child->SetMinWidth(wanted.minimum);
                    if (wanted.maximum > 0) child->SetMaxWidth(wanted.maximum);
                }
                if (!wanted.visible) child->SetVisible(false);
                layout->Add(child);
                children.push_back(child);
            }
            layout->SetPos(vertical ? RECT{0, 0, 30, c.extent} : RECT{0, 0, c.extent, 30});
            ExpectSpans(vertical ? VerticalSpans(children) : HorizontalSpans(children), c.expected);
            // Across the axis every child fills the layout.
            std::vector<Span> across = vertical ? HorizontalSpans(children) : VerticalSpans(children);
            for (const Span& span : across) {
                EXPECT_EQ(span.from, 0);
                EXPECT_EQ(span.to, 30);
            }
        }
    }
}

TEST(BoxLayoutArithmetic, OnlyTheHorizontalBarWidensAndShiftsTheFlow) {
    // The horizontal bar's range (100 by default) widens the room in both
    // layouts, and its position shifts the children left in both.
    for (bool vertical : {true, false}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        std::unique_ptr<CContainerUI> layout = MakeLayout(vertical);
        layout->SetAttribute(L"hscrollbar", L"true");
        auto* child = new CControlUI;
        layout->Add(child);
        CScrollBarUI* bar = layout->GetHorizontalScrollBar();
        ASSERT_NE(bar, nullptr);
        bar->SetScrollPos(30);
        layout->SetPos(RECT{0, 0, 200, 100});
        const int barHeight = bar->GetFixedHeight();
        ASSERT_GT(barHeight, 0);
        EXPECT_EQ(child->GetPos().left, -30);
        EXPECT_EQ(child->GetPos().right, 270);
        EXPECT_EQ(child->GetPos().top, 0);
        EXPECT_EQ(child->GetPos().bottom, 100 - barHeight);
        EXPECT_EQ(bar->GetPos().top, 100 - barHeight);
        EXPECT_EQ(bar->GetPos().right, 200);
    }
}

TEST(BoxLayoutArithmetic, EmptyLayoutKeepsItsBarsOutOfTheRectangleOnlyWhenVertical) {
    // Without children the vertical layout still takes the visible bars off
    // the rectangle it hands on; the horizontal one hands on the inset
    // rectangle, so its horizontal bar lands below it.
    for (bool vertical : {true, false}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        std::unique_ptr<CContainerUI> layout = MakeLayout(vertical);
        layout->SetAttribute(L"hscrollbar", L"true");
        layout->SetInset(RECT{1, 2, 3, 4});
        layout->SetPos(RECT{0, 0, 100, 80});
        CScrollBarUI* bar = layout->GetHorizontalScrollBar();
        ASSERT_NE(bar, nullptr);
        const int barHeight = bar->GetFixedHeight();
        EXPECT_EQ(bar->GetPos().left, 1);
        EXPECT_EQ(bar->GetPos().right, 97);
        EXPECT_EQ(bar->GetPos().top, vertical ? 76 - barHeight : 76);
        EXPECT_EQ(bar->GetPos().bottom, vertical ? 76 : 76 + barHeight);
    }
}

struct ThumbCase {
    const char* name;
    bool vertical;
    int sepSize;
    RECT pos;
    RECT thumb;
};

TEST(BoxLayoutSeparator, ThumbSitsOnTheEdgeAndOnlyTheVerticalOneStaysInside) {
    const std::vector<ThumbCase> cases = {
        {"bottom edge", true, 6, {0, 0, 50, 100}, {0, 94, 50, 100}},
        {"top edge", true, -6, {0, 10, 50, 100}, {0, 10, 50, 16}},
        {"right edge", false, 6, {0, 0, 100, 50}, {94, 0, 100, 50}},
        {"left edge", false, -6, {10, 0, 100, 50}, {10, 0, 16, 50}},
        {"bottom edge thinner than the separator", true, 6, {0, 0, 50, 3}, {0, 0, 50, 3}},
        {"top edge thinner than the separator", true, -6, {0, 10, 50, 13}, {0, 10, 50, 13}},
        {"right edge thinner than the separator", false, 6, {0, 0, 3, 50}, {-3, 0, 3, 50}},
        {"left edge thinner than the separator", false, -6, {10, 0, 13, 50}, {10, 0, 16, 50}},
        {"no separator", false, 0, {0, 0, 100, 50}, {0, 0, 0, 0}},
    };
    for (const ThumbCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CContainerUI> layout = MakeLayout(c.vertical);
        layout->SetAttribute(c.vertical ? L"sepheight" : L"sepwidth", std::to_wstring(c.sepSize).c_str());
        layout->SetPos(c.pos);
        EXPECT_EQ(layout->GetControlFlags(), c.sepSize != 0 ? UIFLAG_SETCURSOR : 0u);
        const RECT thumb = c.vertical ? static_cast<CVerticalLayoutUI&>(*layout).GetThumbRect()
                                      : static_cast<CHorizontalLayoutUI&>(*layout).GetThumbRect();
        EXPECT_EQ(thumb.left, c.thumb.left);
        EXPECT_EQ(thumb.top, c.thumb.top);
        EXPECT_EQ(thumb.right, c.thumb.right);
        EXPECT_EQ(thumb.bottom, c.thumb.bottom);
    }
}

struct DragCase {
    const char* name;
    bool vertical;
    LPCWSTR attributes;
    RECT pos;
    POINT down;
    POINT to;
    RECT dragged;
};

TEST(BoxLayoutSeparator, DraggingMovesTheChosenEdgeAlongTheAxis) {
    const std::vector<DragCase> cases = {
        {"bottom edge", true, L"sepheight=\"4\"", {0, 0, 30, 100}, {10, 98}, {10, 118}, {0, 0, 30, 120}},
        {"top edge", true, L"sepheight=\"-4\"", {0, 100, 30, 200}, {10, 101}, {10, 81}, {0, 80, 30, 200}},
        {"right edge", false, L"sepwidth=\"4\"", {0, 0, 100, 30}, {98, 10}, {118, 10}, {0, 0, 120, 30}},
        {"left edge", false, L"sepwidth=\"-4\"", {100, 0, 200, 30}, {101, 10}, {81, 10}, {80, 0, 200, 30}},
        {"right edge held at the maximum width", false, L"sepwidth=\"4\" maxwidth=\"110\"", {0, 0, 100, 30},
         {98, 10}, {118, 10}, {0, 0, 110, 30}},
        {"left edge held at the minimum width", false, L"sepwidth=\"-4\" minwidth=\"90\"", {100, 0, 200, 30},
         {101, 10}, {121, 10}, {110, 0, 200, 30}},
    };
    for (bool immediate : {true, false}) {
        for (const DragCase& c : cases) {
            SCOPED_TRACE(testing::Message() << (immediate ? "immediate, " : "on release, ") << c.name);
            std::unique_ptr<CContainerUI> layout = MakeLayout(c.vertical);
            layout->ApplyAttributeList(c.attributes);
            if (immediate) layout->SetAttribute(L"sepimm", L"true");
            layout->SetPos(c.pos);
            TEventUI event{};
            event.Type = UIEVENT_BUTTONDOWN;
            event.ptMouse = c.down;
            layout->DoEvent(event);
            event.Type = UIEVENT_MOUSEMOVE;
            event.ptMouse = c.to;
            layout->DoEvent(event);
            const CUIRect dragged = c.dragged;
            EXPECT_EQ(c.vertical ? layout->GetFixedHeight() : layout->GetFixedWidth(),
                      c.vertical ? dragged.GetHeight() : dragged.GetWidth());
            EXPECT_EQ(layout->GetPos().left, immediate ? c.dragged.left : c.pos.left);
            EXPECT_EQ(layout->GetPos().top, immediate ? c.dragged.top : c.pos.top);
            EXPECT_EQ(layout->GetPos().right, immediate ? c.dragged.right : c.pos.right);
            EXPECT_EQ(layout->GetPos().bottom, immediate ? c.dragged.bottom : c.pos.bottom);
            event.Type = UIEVENT_BUTTONUP;
            layout->DoEvent(event);
            EXPECT_EQ(layout->GetPos().left, c.dragged.left);
            EXPECT_EQ(layout->GetPos().top, c.dragged.top);
            EXPECT_EQ(layout->GetPos().right, c.dragged.right);
            EXPECT_EQ(layout->GetPos().bottom, c.dragged.bottom);
        }
    }
}

}  // namespace
}  // namespace TarselUI
