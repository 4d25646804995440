// The engine's own shadow (CShadowUI): its class registered by SetInstance,
// one per paint manager from AttachDialog, idle until a window asks with
// ShowShadow(true), then a layered window that keeps around its owner. The
// tests look at window placement and state, never at the screen's pixels
// (the picture itself is MakeShadow's, tested on its own).

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/shadow_ui.h"
#include "ui_window_fixture.h"

using namespace TarselUI;

namespace {

struct ShadowSearch {
    HWND owner;
    std::vector<HWND> found;
};

// A lambda cannot be a stdcall callback on i686.
BOOL CALLBACK CollectShadow(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<ShadowSearch*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (wcscmp(name, CShadowUI::GetWindowClassName()) == 0 && ::GetWindow(hwnd, GW_OWNER) == search->owner) {
        search->found.push_back(hwnd);
    }
    return TRUE;
}

// Windows of the shadow's class owned by `owner`, on this thread.
std::vector<HWND> ShadowsOf(HWND owner) {
    ShadowSearch search{owner, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectShadow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

// Where the shadow of `owner` belongs with these settings.
RECT ExpectedShadowRect(HWND owner, int size, int x, int y) {
    RECT rc = WindowRect(owner);
    return RECT{rc.left + x - size, rc.top + y - size, rc.right + x + size, rc.bottom + y + size};
}

void ExpectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

bool HasClass(HINSTANCE module) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    return ::GetClassInfoExW(module, CShadowUI::GetWindowClassName(), &wc) != FALSE;
}

}  // namespace

TEST(EngineShadow, SetInstanceRegistersTheClassAndCreatesNoWindow) {
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    EXPECT_FALSE(HasClass(module));
    CPaintManagerUI::SetInstance(module);
    EXPECT_TRUE(HasClass(module));
    EXPECT_TRUE(ShadowsOf(nullptr).empty());
}

TEST(EngineShadow, AWindowThatDoesNotAskGetsNone) {
    uitest::TestWindow window;
    CPaintManagerUI& manager = window.manager();
    EXPECT_EQ(manager.GetShadow(), nullptr);
    ASSERT_TRUE(manager.AttachDialog(new CControlUI));
    ASSERT_NE(manager.GetShadow(), nullptr);
    EXPECT_FALSE(manager.GetShadow()->IsShowShadow());
    ::SetWindowPos(window.hwnd(), nullptr, 90, 70, 220, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(window.hwnd(), nullptr, FALSE);
    window.PumpUntilIdle();
    EXPECT_EQ(manager.GetShadow()->GetShadowWindow(), nullptr);
    EXPECT_TRUE(ShadowsOf(window.hwnd()).empty());
    // A second tree keeps the same shadow object.
    CShadowUI* shadow = manager.GetShadow();
    ASSERT_TRUE(manager.AttachDialog(new CControlUI));
    EXPECT_EQ(manager.GetShadow(), shadow);
}

TEST(EngineShadow, AWindowThatAsksGetsAShadowThatFollowsIt) {
    uitest::TestWindow window(200, 100);
    HWND owner = window.hwnd();
    CPaintManagerUI& manager = window.manager();
    ASSERT_TRUE(manager.AttachDialog(new CControlUI));
    CShadowUI& shadow = *manager.GetShadow();
    ASSERT_TRUE(shadow.SetSize(6));
    ASSERT_TRUE(shadow.SetPosition(2, 3));
    shadow.ShowShadow(true);
    window.PumpUntilIdle();

    const std::vector<HWND> shadows = ShadowsOf(owner);
    ASSERT_EQ(shadows.size(), 1u);
    HWND hwnd = shadows[0];
    EXPECT_EQ(shadow.GetShadowWindow(), hwnd);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);  // clicks go through to what lies below
    ExpectRect(WindowRect(hwnd), ExpectedShadowRect(owner, 6, 2, 3));

    {
        SCOPED_TRACE("moved");
        ::SetWindowPos(owner, nullptr, 150, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.PumpUntilIdle();
        ExpectRect(WindowRect(hwnd), ExpectedShadowRect(owner, 6, 2, 3));
    }
    {
        SCOPED_TRACE("resized");
        ::SetWindowPos(owner, nullptr, 0, 0, 260, 140, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.PumpUntilIdle();
        ExpectRect(WindowRect(hwnd), ExpectedShadowRect(owner, 6, 2, 3));
    }
    {
        SCOPED_TRACE("new settings");
        ASSERT_TRUE(shadow.SetSize(10));
        ASSERT_TRUE(shadow.SetPosition(-4, 5));
        ExpectRect(WindowRect(hwnd), ExpectedShadowRect(owner, 10, -4, 5));
    }
    {
        SCOPED_TRACE("hidden and shown again");
        ::ShowWindow(owner, SW_HIDE);
        window.PumpUntilIdle();
        EXPECT_FALSE(::IsWindowVisible(hwnd));
        ::SetWindowPos(owner, nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(owner, SW_SHOWNA);
        window.PumpUntilIdle();
        EXPECT_TRUE(::IsWindowVisible(hwnd));
        ExpectRect(WindowRect(hwnd), ExpectedShadowRect(owner, 10, -4, 5));
    }
    {
        SCOPED_TRACE("switched off");
        shadow.ShowShadow(false);
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_TRUE(ShadowsOf(owner).empty());
        ::SetWindowPos(owner, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.PumpUntilIdle();
        EXPECT_TRUE(ShadowsOf(owner).empty());
    }
}

TEST(EngineShadow, ASecondTreeKeepsTheShadowShowing) {
    uitest::TestWindow window;
    CPaintManagerUI& manager = window.manager();
    ASSERT_TRUE(manager.AttachDialog(new CControlUI));
    manager.GetShadow()->ShowShadow(true);
    // A new tree for the same window keeps the shadow it has.
    ASSERT_TRUE(manager.AttachDialog(new CControlUI));
    window.PumpUntilIdle();
    EXPECT_EQ(ShadowsOf(window.hwnd()).size(), 1u);
}

TEST(EngineShadow, TheShadowGoesWithItsWindow) {
    auto window = std::make_unique<uitest::TestWindow>();
    HWND owner = window->hwnd();
    ASSERT_TRUE(window->manager().AttachDialog(new CControlUI));
    window->manager().GetShadow()->ShowShadow(true);
    HWND hwnd = window->manager().GetShadow()->GetShadowWindow();
    ASSERT_NE(hwnd, nullptr);
    ::DestroyWindow(owner);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(window->manager().GetShadow()->GetShadowWindow(), nullptr);
    window.reset();  // the manager and its shadow after the window: nothing left to touch
}

TEST(EngineShadow, OutOfRangeSettingsAreRefused) {
    CShadowUI shadow;
    const ShadowParams before = shadow.GetParams();
    EXPECT_FALSE(shadow.SetSize(21));
    EXPECT_FALSE(shadow.SetSize(-21));
    EXPECT_FALSE(shadow.SetSharpness(21));
    EXPECT_FALSE(shadow.SetDarkness(256));
    EXPECT_FALSE(shadow.SetPosition(0, 21));
    EXPECT_FALSE(shadow.SetPosition(-21, 0));
    const ShadowParams after = shadow.GetParams();
    EXPECT_EQ(after.size, before.size);
    EXPECT_EQ(after.sharpness, before.sharpness);
    EXPECT_EQ(after.darkness, before.darkness);
    EXPECT_EQ(after.offsetX, before.offsetX);
    EXPECT_EQ(after.offsetY, before.offsetY);
    EXPECT_TRUE(shadow.SetSize(-20));
    EXPECT_TRUE(shadow.SetSharpness(20));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_TRUE(shadow.SetPosition(20, -20));
    // Without a window, asking for the shadow creates nothing.
    shadow.ShowShadow(true);
    EXPECT_EQ(shadow.GetShadowWindow(), nullptr);
}
