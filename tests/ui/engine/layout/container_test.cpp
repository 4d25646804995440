// Containers without a window: subtree visibility, ownership, searching and
// the vertical scroll bar the layouts show when the children overflow.

#include <gtest/gtest.h>

#include <vector>

#include "ui/engine/controls/container.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/layout/vertical_layout.h"

namespace TarselUI {
namespace {

int g_destroyed = 0;
bool CountDestroyed(void*) {
    ++g_destroyed;
    return true;
}

CControlUI* Tracked() {
    auto* control = new CControlUI;
    control->OnDestroy += CDelegateStatic(CountDestroyed);
    return control;
}

TEST(Container, HidingHidesTheSubtreeWithoutTouchingOwnFlags) {
    CContainerUI root;
    auto* inner = new CVerticalLayoutUI;
    auto* leaf = new CControlUI;
    inner->Add(leaf);
    root.Add(inner);

    root.SetAttribute(L"visible", L"false");
    EXPECT_FALSE(inner->IsVisible());
    EXPECT_FALSE(leaf->IsVisible());
    root.SetAttribute(L"visible", L"true");
    EXPECT_TRUE(inner->IsVisible());
    EXPECT_TRUE(leaf->IsVisible());

    // A child added to a hidden container starts hidden.
    root.SetVisible(false);
    auto* late = new CControlUI;
    root.Add(late);
    EXPECT_FALSE(late->IsVisible());
    root.SetVisible(true);
    EXPECT_TRUE(late->IsVisible());
}

TEST(Container, RemovingWithoutManagerDeletesAtOnceUnlessNotAutoDestroying) {
    g_destroyed = 0;
    CContainerUI root;
    CControlUI* first = Tracked();
    CControlUI* second = Tracked();
    CControlUI* third = Tracked();
    ASSERT_TRUE(root.Add(first));
    ASSERT_TRUE(root.AddAt(second, 0));
    EXPECT_FALSE(root.AddAt(third, 3));
    ASSERT_TRUE(root.AddAt(third, 2));
    EXPECT_FALSE(root.Add(nullptr));
    EXPECT_EQ(root.GetItemIndex(second), 0);
    EXPECT_EQ(root.GetItemIndex(first), 1);

    EXPECT_TRUE(root.SetItemIndex(third, 0));
    EXPECT_EQ(root.GetItemAt(0), third);
    EXPECT_EQ(root.GetItemAt(1), second);

    EXPECT_TRUE(root.Remove(second));
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_FALSE(root.Remove(second));
    EXPECT_FALSE(root.RemoveAt(5));

    root.SetAutoDestroy(false);
    EXPECT_TRUE(root.RemoveAt(0));
    EXPECT_EQ(g_destroyed, 1);
    delete third;
    EXPECT_EQ(g_destroyed, 2);
    root.SetAutoDestroy(true);
    EXPECT_EQ(root.GetCount(), 1);
}

TEST(Container, DestroyingDeletesChildrenAtOnce) {
    g_destroyed = 0;
    {
        CContainerUI root;
        auto* inner = new CContainerUI;
        inner->Add(Tracked());
        root.Add(inner);
        root.Add(Tracked());
    }
    EXPECT_EQ(g_destroyed, 2);
}

std::vector<CControlUI*> g_visited;
CControlUI* CALLBACK Visit(CControlUI* control, LPVOID) {
    g_visited.push_back(control);
    return nullptr;
}

CControlUI* CALLBACK Accept(CControlUI* control, LPVOID) { return control; }

TEST(Container, FindControlWalkOrderAndFlags) {
    CVerticalLayoutUI root;
    root.SetAttribute(L"vscrollbar", L"true");
    auto* a = new CControlUI;
    auto* b = new CVerticalLayoutUI;
    auto* c = new CControlUI;
    b->Add(c);
    root.Add(a);
    root.Add(b);

    g_visited.clear();
    root.FindControl(Visit, nullptr, UIFIND_ALL);
    const std::vector<CControlUI*> expected = {root.GetVerticalScrollBar(), a, c, b, &root};
    EXPECT_EQ(g_visited, expected);

    g_visited.clear();
    root.FindControl(Visit, nullptr, UIFIND_ALL | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
    const std::vector<CControlUI*> meFirst = {root.GetVerticalScrollBar(), &root, b, c, a};
    EXPECT_EQ(g_visited, meFirst);

    a->SetVisible(false);
    g_visited.clear();
    root.FindControl(Visit, nullptr, UIFIND_VISIBLE);
    // A new bar is visible until a layout pass finds nothing to scroll.
    const std::vector<CControlUI*> visibleOnly = {root.GetVerticalScrollBar(), c, b, &root};
    EXPECT_EQ(g_visited, visibleOnly);
    a->SetVisible(true);

    a->SetFixedHeight(20);
    c->SetFixedHeight(10);
    root.SetPos(RECT{0, 0, 100, 100});
    EXPECT_FALSE(root.GetVerticalScrollBar()->IsVisible());
    POINT inA{50, 10};
    EXPECT_EQ(root.FindControl(Accept, &inA, UIFIND_HITTEST), a);
    POINT inC{50, 25};
    EXPECT_EQ(root.FindControl(Accept, &inC, UIFIND_HITTEST), c);
    POINT inB{50, 60};
    EXPECT_EQ(root.FindControl(Accept, &inB, UIFIND_HITTEST), b);
    POINT outside{150, 10};
    EXPECT_EQ(root.FindControl(Accept, &outside, UIFIND_HITTEST), nullptr);
    root.SetMouseChildEnabled(false);
    EXPECT_EQ(root.FindControl(Accept, &inA, UIFIND_HITTEST), &root);
    c->SetMouseEnabled(false);
    root.SetMouseChildEnabled(true);
    EXPECT_EQ(root.FindControl(Accept, &inC, UIFIND_HITTEST), b);
}

TEST(Container, VerticalScrollBarAppearsOnlyWhenEnabledAndNeeded) {
    for (bool enabled : {false, true}) {
        SCOPED_TRACE(enabled ? "vscrollbar" : "no scroll bar");
        CVerticalLayoutUI layout;
        if (enabled) layout.SetAttribute(L"vscrollbar", L"true");
        std::vector<CControlUI*> children;
        for (int i = 0; i < 3; ++i) {
            auto* child = new CControlUI;
            child->SetFixedHeight(50);
            layout.Add(child);
            children.push_back(child);
        }
        auto* stretch = new CControlUI;
        layout.Add(stretch);
        layout.SetPos(RECT{0, 0, 100, 120});
        EXPECT_EQ(stretch->GetPos().bottom - stretch->GetPos().top, 0);
        CScrollBarUI* bar = layout.GetVerticalScrollBar();
        if (!enabled) {
            EXPECT_EQ(bar, nullptr);
            EXPECT_EQ(children[0]->GetPos().right, 100);
            continue;
        }
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->IsVisible());
        EXPECT_EQ(bar->GetScrollRange(), 30);
        EXPECT_EQ(bar->GetPos().left, 84);
        EXPECT_EQ(bar->GetPos().right, 100);
        EXPECT_EQ(children[0]->GetPos().right, 84);

        // Scrolling moves the children by the change of position, clamped.
        layout.SetScrollPos(SIZE{0, 100});
        EXPECT_EQ(bar->GetScrollPos(), 30);
        EXPECT_EQ(children[0]->GetPos().top, -30);
        layout.HomeUp();
        EXPECT_EQ(children[0]->GetPos().top, 0);
        layout.LineDown();
        EXPECT_EQ(bar->GetScrollPos(), 8);

        // Room for everything again: the bar goes away.
        layout.SetPos(RECT{0, 0, 100, 400});
        EXPECT_FALSE(bar->IsVisible());
        EXPECT_EQ(bar->GetScrollRange(), 0);
        EXPECT_EQ(children[0]->GetPos().right, 100);
        EXPECT_EQ(children[0]->GetPos().top, 0);
    }
}

TEST(ScrollBar, PositionStaysInsideTheRange) {
    CScrollBarUI bar;
    EXPECT_EQ(bar.GetScrollRange(), 100);
    EXPECT_EQ(bar.GetLineSize(), 8);
    EXPECT_EQ(bar.GetFixedWidth(), 16);
    bar.SetScrollPos(150);
    EXPECT_EQ(bar.GetScrollPos(), 100);
    bar.SetScrollRange(40);
    EXPECT_EQ(bar.GetScrollPos(), 40);
    bar.SetScrollPos(-5);
    EXPECT_EQ(bar.GetScrollPos(), 0);
    bar.SetHorizontal(true);
    EXPECT_EQ(bar.GetFixedHeight(), 16);
    EXPECT_EQ(bar.GetFixedWidth(), 0);
}

}  // namespace
}  // namespace TarselUI
