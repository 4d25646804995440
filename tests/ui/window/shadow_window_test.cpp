// A real layered shadow window under the test display: it follows its
// owner's position, visibility and window state, and lets go of the owner
// cleanly.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "shadow_test_owner.h"
#include "ui/window/wnd_shadow.h"
#include "util/unique_handle.h"

using namespace TarselUI;

using shadowtest::Pump;
using shadowtest::WindowRect;
using shadowtest::ShadowWindow;


TEST(ShadowSetup, InitializeOnceRegistersTheClass) {
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    ASSERT_TRUE(CWndShadow::Initialize(module));
    EXPECT_FALSE(CWndShadow::Initialize(module));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(::GetClassInfoExW(module, L"BeautyShadowWnd", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
}

TEST(ShadowSetup, WithoutInitializeNoShadowIsCreated) {
    Util::UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
                                               nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(owner);
    const LONG_PTR procedure = ::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC);
    CWndShadow shadow;
    shadow.Create(owner.get());
    EXPECT_EQ(shadow.GetShadowWindow(), nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC), procedure);
}

TEST(ShadowSetup, SettersRefuseValuesOutOfRange) {
    CWndShadow shadow;
    struct Case {
        const char* what;
        bool (*apply)(CWndShadow&);
        bool accepted;
    };
    const Case cases[] = {
        {"size 21", [](CWndShadow& s) { return s.SetSize(21); }, false},
        {"size -21", [](CWndShadow& s) { return s.SetSize(-21); }, false},
        {"sharpness 21", [](CWndShadow& s) { return s.SetSharpness(21); }, false},
        {"darkness 256", [](CWndShadow& s) { return s.SetDarkness(256); }, false},
        {"position -21,0", [](CWndShadow& s) { return s.SetPosition(-21, 0); }, false},
        {"position 0,21", [](CWndShadow& s) { return s.SetPosition(0, 21); }, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.apply(shadow), c.accepted) << c.what;
        const ShadowParams p = shadow.GetParams();
        // Refused values leave the defaults in place.
        EXPECT_EQ(p.size, 0) << c.what;
        EXPECT_EQ(p.sharpness, 5) << c.what;
        EXPECT_EQ(p.darkness, 150) << c.what;
        EXPECT_EQ(p.offsetX, 5) << c.what;
        EXPECT_EQ(p.offsetY, 5) << c.what;
    }
    EXPECT_TRUE(shadow.SetSize(-20));
    EXPECT_TRUE(shadow.SetSharpness(20));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_TRUE(shadow.SetPosition(20, -20));
    EXPECT_TRUE(shadow.SetColor(RGB(1, 2, 3)));
    const ShadowParams p = shadow.GetParams();
    EXPECT_EQ(p.size, -20);
    EXPECT_EQ(p.sharpness, 20);
    EXPECT_EQ(p.darkness, 255);
    EXPECT_EQ(p.offsetX, 20);
    EXPECT_EQ(p.offsetY, -20);
    EXPECT_EQ(p.color, RGB(1, 2, 3));
}

TEST_F(ShadowWindow, SitsAroundTheOwnerAndFollowsItsMoves) {
    Util::UniqueWindow owner = MakeOwner(100, 120);
    ASSERT_TRUE(owner);
    CWndShadow shadow;
    Attach(shadow, owner.get());
    HWND window = shadow.GetShadowWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), owner.get());
    const LONG exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);
    EXPECT_TRUE(::IsWindowVisible(window));

    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 94);
    EXPECT_EQ(rect.top, 114);
    EXPECT_EQ(rect.right - rect.left, 264);
    EXPECT_EQ(rect.bottom - rect.top, 172);

    ::SetWindowPos(owner.get(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    rect = WindowRect(window);
    EXPECT_EQ(rect.left, 294);
    EXPECT_EQ(rect.top, 194);

    // Offsets move it; a grown shadow is placed and sized again at once.
    EXPECT_TRUE(shadow.SetPosition(3, 4));
    EXPECT_TRUE(shadow.SetSize(10));
    Pump();
    rect = WindowRect(window);
    EXPECT_EQ(rect.left, 300 + 3 - 10);
    EXPECT_EQ(rect.top, 200 + 4 - 10);
    EXPECT_EQ(rect.right - rect.left, 272);
}

TEST_F(ShadowWindow, HidesAndShowsWithTheOwner) {
    Util::UniqueWindow owner = MakeOwner(50, 50);
    CWndShadow shadow;
    Attach(shadow, owner.get());
    HWND window = shadow.GetShadowWindow();
    ASSERT_TRUE(::IsWindowVisible(window));

    ::ShowWindow(owner.get(), SW_HIDE);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_FALSE(shadow.IsShadowVisible());

    ::ShowWindow(owner.get(), SW_SHOWNA);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_TRUE(shadow.IsShadowVisible());
}

TEST_F(ShadowWindow, MaximisingHidesAndRestoringShowsAgain) {
    Util::UniqueWindow owner = MakeOwner(60, 70);
    CWndShadow shadow;
    Attach(shadow, owner.get());
    HWND window = shadow.GetShadowWindow();
    ASSERT_TRUE(::IsWindowVisible(window));

    ::ShowWindow(owner.get(), SW_MAXIMIZE);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(window));

    ::ShowWindow(owner.get(), SW_RESTORE);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(window));
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 54);
    EXPECT_EQ(rect.top, 64);
}

TEST_F(ShadowWindow, HiddenOwnerGetsHiddenShadowUntilShown) {
    Util::UniqueWindow owner = MakeOwner(40, 40, WS_POPUP);
    CWndShadow shadow;
    Attach(shadow, owner.get());
    HWND window = shadow.GetShadowWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));

    ::ShowWindow(owner.get(), SW_SHOWNA);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(WindowRect(window).left, 34);
}

TEST_F(ShadowWindow, OwnerDestructionTakesTheShadowWindowAlong) {
    Util::UniqueWindow owner = MakeOwner(20, 20);
    auto shadow = std::make_unique<CWndShadow>();
    Attach(*shadow, owner.get());
    HWND window = shadow->GetShadowWindow();
    ASSERT_TRUE(::IsWindow(window));
    owner.reset();
    Pump();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(shadow->GetShadowWindow(), nullptr);
    // The host frees its shadow after its window: nothing is left to undo.
    shadow.reset();
}

TEST_F(ShadowWindow, DeletingTheShadowFirstGivesTheOwnerItsProcedureBack) {
    Util::UniqueWindow owner = MakeOwner(20, 20);
    const LONG_PTR procedure = ::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC);
    auto shadow = std::make_unique<CWndShadow>();
    Attach(*shadow, owner.get());
    EXPECT_NE(::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC), procedure);
    HWND window = shadow->GetShadowWindow();
    shadow.reset();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC), procedure);
    // The owner keeps working without its shadow.
    ::SetWindowPos(owner.get(), nullptr, 80, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(WindowRect(owner.get()).left, 80);
}

TEST_F(ShadowWindow, SecondShadowOnTheSameOwnerIsRefused) {
    Util::UniqueWindow owner = MakeOwner(20, 20);
    CWndShadow first;
    CWndShadow second;
    Attach(first, owner.get());
    second.Create(owner.get());
    EXPECT_EQ(second.GetShadowWindow(), nullptr);
    ::SetWindowPos(owner.get(), nullptr, 90, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(WindowRect(first.GetShadowWindow()).left, 84);
}

TEST_F(ShadowWindow, ShrinkingRedrawsAtOnceGrowingAtTheNextPaint) {
    Util::UniqueWindow owner = MakeOwner(100, 100);
    CWndShadow shadow;
    Attach(shadow, owner.get());
    HWND window = shadow.GetShadowWindow();
    const UINT resize = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

    ::SetWindowPos(owner.get(), nullptr, 0, 0, 200, 120, resize);
    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, 212);
    EXPECT_EQ(rect.bottom - rect.top, 132);

    // The new area has not been painted yet: the shadow waits for it.
    ::SetWindowPos(owner.get(), nullptr, 0, 0, 300, 120, resize);
    EXPECT_EQ(WindowRect(window).right - WindowRect(window).left, 212);
    ::UpdateWindow(owner.get());
    Pump();
    rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, 312);
    EXPECT_EQ(rect.bottom - rect.top, 132);
}
