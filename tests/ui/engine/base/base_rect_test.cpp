#include <gtest/gtest.h>

#include "ui/engine/base/ui_rect.h"
#include "ui/engine/base/wait_cursor.h"

using namespace TarselUI;

namespace {

void ExpectRect(const RECT& rc, int l, int t, int r, int b) {
    EXPECT_EQ(l, rc.left);
    EXPECT_EQ(t, rc.top);
    EXPECT_EQ(r, rc.right);
    EXPECT_EQ(b, rc.bottom);
}

}  // namespace

TEST(UIRect, NormalizeOrdersEdges) {
    CUIRect rc(10, 10, 5, 5);
    rc.Normalize();
    ExpectRect(rc, 5, 5, 10, 10);
    CUIRect mixed(1, 9, 4, 2);
    mixed.Normalize();
    ExpectRect(mixed, 1, 2, 4, 9);
}

TEST(UIRect, JoinIncludesEmptyRectanglesButUnionIgnoresThem) {
    CUIRect joined(10, 10, 20, 20);
    joined.Join(CUIRect(0, 0, 0, 0));
    ExpectRect(joined, 0, 0, 20, 20);

    CUIRect united(10, 10, 20, 20);
    united.Union(CUIRect(0, 0, 0, 0));
    ExpectRect(united, 10, 10, 20, 20);
    united.Union(CUIRect(15, 5, 30, 12));
    ExpectRect(united, 10, 5, 30, 20);
}

TEST(UIRect, ShapeOperations) {
    CUIRect rc(10, 20, 50, 60);
    EXPECT_EQ(40, rc.GetWidth());
    EXPECT_EQ(40, rc.GetHeight());
    rc.Deflate(CUIRect(1, 2, 3, 4));
    ExpectRect(rc, 11, 22, 47, 56);
    rc.Inflate(1, 2);
    ExpectRect(rc, 10, 20, 48, 58);
    rc.Deflate(5, 5);
    ExpectRect(rc, 15, 25, 43, 53);
    rc.Offset(-15, 5);
    ExpectRect(rc, 0, 30, 28, 58);
    rc.ResetOffset();
    ExpectRect(rc, 0, 0, 28, 28);
    EXPECT_FALSE(rc.IsNull());
    rc.Empty();
    EXPECT_TRUE(rc.IsNull());
    // Right and bottom are exclusive.
    CUIRect cell(0, 0, 10, 10);
    EXPECT_TRUE(::PtInRect(&cell, CPoint(9, 9)));
    EXPECT_FALSE(::PtInRect(&cell, CPoint(10, 5)));
}

TEST(UIRect, SizeAndPointFromPlatformRecords) {
    CSize size(CUIRect(3, 4, 13, 24));
    EXPECT_EQ(10, size.cx);
    EXPECT_EQ(20, size.cy);
    CPoint pt(MAKELPARAM(static_cast<WORD>(-5), 7));  // negative coordinates stay signed
    EXPECT_EQ(-5, pt.x);
    EXPECT_EQ(7, pt.y);
}

TEST(WaitCursor, RestoresThePreviousCursor) {
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    {
        CWaitCursor wait;
        EXPECT_EQ(::LoadCursorW(nullptr, IDC_WAIT), ::GetCursor());
    }
    EXPECT_EQ(arrow, ::GetCursor());
}
