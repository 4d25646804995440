// Containers, text effects and links in a real window: delayed deletion
// through the manager's cleanup message, clipping of children to the
// content area, floating children outside it, GDI+ stroke and shadow
// passes, and a rich-text link sending "link".

#include <gtest/gtest.h>

#include <vector>

#include "ui/engine/controls/container.h"
#include "ui/engine/controls/label.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/controls/text.h"
#include "ui/engine/layout/horizontal_layout.h"
#include "ui/engine/layout/vertical_layout.h"
#include "ui_test_window.h"

using namespace TarselUI;

namespace {

int g_destroyed = 0;
bool CountDestroyed(void*) {
    ++g_destroyed;
    return true;
}

TEST(ContainerWindow, RemovedChildLivesUntilTheCleanupMessage) {
    uitest::TestSkinWindow window(100, 100);
    auto* root = new CVerticalLayoutUI;
    auto* delayed = new CControlUI;
    auto* immediate = new CControlUI;
    delayed->OnDestroy += CDelegateStatic(CountDestroyed);
    immediate->OnDestroy += CDelegateStatic(CountDestroyed);
    root->Add(delayed);
    root->Add(immediate);
    ASSERT_TRUE(window.Attach(root));

    g_destroyed = 0;
    ASSERT_TRUE(root->Remove(delayed));
    EXPECT_EQ(g_destroyed, 0);
    window.Pump();
    EXPECT_EQ(g_destroyed, 1);

    root->SetDelayedDestroy(false);
    ASSERT_TRUE(root->Remove(immediate));
    EXPECT_EQ(g_destroyed, 2);
}

TEST(ContainerWindow, ChildrenAreClippedToTheContentAreaButFloatingOnesAreNot) {
    uitest::TestSkinWindow window(200, 100);
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    root->SetInset(RECT{10, 10, 10, 10});
    auto* tall = new CControlUI;
    tall->SetBkColor(0xFFFF0000);
    tall->SetFixedHeight(300);
    auto* corner = new CControlUI;
    corner->SetAttribute(L"float", L"true");
    corner->SetAttribute(L"pos", L"0,0,8,8");
    corner->SetBkColor(0xFF0000FF);
    root->Add(tall);
    root->Add(corner);
    ASSERT_TRUE(window.Attach(root));

    EXPECT_EQ(window.PixelAt(100, 50), 0xFF0000u);
    EXPECT_EQ(window.PixelAt(100, 95), 0xFFFFFFu);  // the bottom inset
    EXPECT_EQ(window.PixelAt(195, 50), 0xFFFFFFu);  // the right inset
    EXPECT_EQ(window.PixelAt(4, 4), 0x0000FFu);     // floating, inside the inset
}

int CountPixels(uitest::TestSkinWindow& window, COLORREF color, RECT area) {
    const std::vector<COLORREF> pixels = window.Snapshot();
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) count += pixels[y * window.width() + x] == color ? 1 : 0;
    }
    return count;
}

TEST(LabelEffects, StrokeAndShadowPassesDrawWithGdiPlus) {
    uitest::TestSkinWindow window(120, 40);
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    auto* label = new CLabelUI;
    label->SetFixedHeight(40);
    label->ApplyAttributeList(
        L"enabledeffect=\"true\" enabledstroke=\"true\" strokecolor=\"#FFFF0000\" enabledshadow=\"true\" "
        L"textshadowcolora=\"#FF0000FF\" transshadow=\"255\" transshadow1=\"255\" shadowoffset=\"6,0\" "
        L"transtext=\"255\" transtext1=\"255\" textcolor=\"#FF00FF00\"");
    label->SetText(L"\x2588\x2588\x2588");
    root->Add(label);
    ASSERT_TRUE(window.Attach(root));
    EXPECT_EQ(label->GetText(), L"\x2588\x2588\x2588");
    const RECT area{0, 0, 60, 40};
    EXPECT_GT(CountPixels(window, 0xFF0000, area), 0);  // stroke
    EXPECT_GT(CountPixels(window, 0x0000FF, area), 0);  // shadow
    EXPECT_GT(CountPixels(window, 0x00FF00, area), 0);  // the text itself
}

TEST(TextLinks, ReleasingOverALinkSendsLink) {
    uitest::TestSkinWindow window(200, 60);
    auto* root = new CVerticalLayoutUI;
    auto* text = new CTextUI;
    text->SetFixedHeight(60);
    text->SetAttribute(L"showhtml", L"true");
    text->SetText(L"<a first>AAAAAAAA</a> <a second>BBBBBBBB</a>");
    root->Add(text);
    ASSERT_TRUE(window.Attach(root));
    window.PixelAt(0, 0);
    ASSERT_NE(text->GetLinkContent(0), nullptr);
    EXPECT_EQ(*text->GetLinkContent(0), L"first");
    ASSERT_NE(text->GetLinkContent(1), nullptr);
    EXPECT_EQ(*text->GetLinkContent(1), L"second");
    EXPECT_EQ(text->GetLinkContent(2), nullptr);
    EXPECT_EQ(text->GetControlFlags(), UIFLAG_SETCURSOR);

    const int y = window.manager().GetDefaultFontInfo()->tm.tmHeight / 2;
    window.MouseMove(6, y);
    window.ButtonDown(6, y);
    window.ButtonUp(6, y);
    // Far right of the first line, past both links: nothing.
    window.ButtonDown(195, y);
    window.ButtonUp(195, y);
    int links = 0;
    for (const auto& n : window.notifications) {
        if (n.type != L"link") continue;
        ++links;
        EXPECT_EQ(n.sender, text);
        EXPECT_EQ(n.wParam, 0u);
    }
    EXPECT_EQ(links, 1);
}

}  // namespace

namespace {

TEST(SeparatorWindow, DraggingTheBottomEdgeResizesTheLayout) {
    for (bool immediate : {true, false}) {
        SCOPED_TRACE(immediate ? "immediate" : "on release");
        uitest::TestSkinWindow window(200, 200);
        auto* root = new CVerticalLayoutUI;
        auto* pane = new CVerticalLayoutUI;
        pane->SetFixedHeight(100);
        pane->SetAttribute(L"sepheight", L"4");
        if (immediate) pane->SetAttribute(L"sepimm", L"true");
        auto* rest = new CControlUI;
        root->Add(pane);
        root->Add(rest);
        ASSERT_TRUE(window.Attach(root));
        EXPECT_EQ(pane->GetControlFlags(), UIFLAG_SETCURSOR);
        EXPECT_EQ(pane->GetThumbRect().top, 96);

        window.MouseMove(50, 98);
        window.ButtonDown(50, 98);
        window.MouseMove(50, 118);
        EXPECT_EQ(pane->GetFixedHeight(), 120);
        if (!immediate) {
            // Only the translucent bar moves while dragging.
            EXPECT_EQ(window.manager().GetPostPaintCount(), 1);
            EXPECT_EQ(pane->GetThumbRect(true).bottom, 120);
        }
        window.ButtonUp(50, 118);
        EXPECT_EQ(window.manager().GetPostPaintCount(), 0);
        window.PixelAt(0, 0);
        EXPECT_EQ(pane->GetPos().bottom, 120);
        EXPECT_EQ(rest->GetPos().top, 120);
    }
}

TEST(LabelAutoWidth, WidthFollowsTheText) {
    uitest::TestSkinWindow window(300, 40);
    auto* root = new CHorizontalLayoutUI;
    auto* label = new CLabelUI;
    label->ApplyAttributeList(L"height=\"20\" autowidth=\"true\"");
    label->SetText(L"WWWW");
    auto* rest = new CControlUI;
    root->Add(label);
    root->Add(rest);
    ASSERT_TRUE(window.Attach(root));
    window.PixelAt(0, 0);
    const int shortWidth = label->GetWidth();
    EXPECT_GT(shortWidth, 10);
    EXPECT_LT(shortWidth, 150);
    label->SetText(L"WWWWWWWW");
    window.PixelAt(0, 0);
    EXPECT_GT(label->GetWidth(), shortWidth + 10);
    EXPECT_EQ(rest->GetPos().left, label->GetPos().right);
}

}  // namespace

namespace {

TEST(ScrollWindow, KeysAndTheWheelScrollAVerticalBar) {
    uitest::TestSkinWindow window(100, 100);
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"vscrollbar", L"true");
    CControlUI* first = nullptr;
    for (int i = 0; i < 5; ++i) {
        auto* child = new CControlUI;
        child->SetFixedHeight(50);
        root->Add(child);
        if (!first) first = child;
    }
    ASSERT_TRUE(window.Attach(root));
    window.PixelAt(0, 0);
    ASSERT_TRUE(root->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(root->GetScrollRange().cy, 150);

    window.manager().SetFocus(root);
    window.Send(WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(root->GetScrollPos().cy, 100);
    EXPECT_EQ(first->GetPos().top, -100);
    window.Send(WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(root->GetScrollPos().cy, 150);
    window.Send(WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(root->GetScrollPos().cy, 0);

    POINT screen{50, 50};
    ::ClientToScreen(window.hwnd(), &screen);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
    const int line = window.manager().GetDefaultFontInfo()->tm.tmHeight + 8;
    EXPECT_EQ(root->GetScrollPos().cy, line);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(root->GetScrollPos().cy, 0);
}

}  // namespace
