// Placement arithmetic of the vertical and horizontal layouts on trees
// without a window: positions come only from SetPos and the children's
// sizes, paddings and limits.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/engine/controls/container.h"
#include "ui/engine/layout/horizontal_layout.h"
#include "ui/engine/layout/layout_math.h"
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
    for (const Child& spec : children) {
        auto* child = new CControlUI;
        if (vertical) {
            child->SetFixedHeight(spec.fixed);
        } else {
            child->SetFixedWidth(spec.fixed);
        }
        child->ApplyAttributeList(spec.attributes);
        if (!spec.visible) child->SetVisible(false);
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

}  // namespace
}  // namespace TarselUI
