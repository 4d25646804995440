// A real layered shadow window under the test display: it follows its
// owner's position, visibility and window state, and lets go of the owner
// cleanly.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "ui/window/wnd_shadow.h"
#include "util/unique_handle.h"

using namespace TarselUI;

namespace {

constexpr wchar_t kOwnerClass[] = L"TarselShadowTestOwner";

void Pump() {
    // Several rounds: a paint can queue further work for the next round.
    for (int round = 0; round < 5; ++round) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

class ShadowWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CWndShadow::Initialize(::GetModuleHandleW(nullptr)));
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kOwnerClass;
        ::RegisterClassExW(&wc);
    }

    // A frameless owner the size of the message box's settings window.
    Util::UniqueWindow MakeOwner(int x, int y, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0) {
        Util::UniqueWindow owner(::CreateWindowExW(exStyle, kOwnerClass, L"owner", style, x, y, 252, 160, nullptr,
                                                   nullptr, ::GetModuleHandleW(nullptr), nullptr));
        Pump();
        return owner;
    }

    // Attached the way the window host does it: create, then size,
    // sharpness, darkness and offsets.
    static void Attach(CWndShadow& shadow, HWND owner) {
        shadow.Create(owner);
        EXPECT_TRUE(shadow.SetSize(6));
        EXPECT_TRUE(shadow.SetSharpness(4));
        EXPECT_TRUE(shadow.SetDarkness(30));
        EXPECT_TRUE(shadow.SetPosition(0, 0));
        Pump();
    }
};

}  // namespace

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

TEST_F(ShadowWindow, PictureReachesTheScreen) {
    // An opaque red ring (sharpness 0, so the whole 10-pixel border is at
    // full darkness) shows beside the owner on the display. Topmost, so
    // windows of tests running beside this one cannot cover it.
    Util::UniqueWindow owner = MakeOwner(613, 431, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    CWndShadow shadow;
    shadow.Create(owner.get());
    ASSERT_TRUE(shadow.SetColor(RGB(255, 0, 0)));
    ASSERT_TRUE(shadow.SetDarkness(255));
    ASSERT_TRUE(shadow.SetSharpness(0));
    ASSERT_TRUE(shadow.SetPosition(0, 0));
    ASSERT_TRUE(shadow.SetSize(10));
    Pump();
    Util::WindowDc screen(nullptr);
    ASSERT_TRUE(screen);
    const COLORREF beside = ::GetPixel(screen.get(), 608, 511);
    const COLORREF inside = ::GetPixel(screen.get(), 700, 511);
    EXPECT_EQ(beside, RGB(255, 0, 0));
    EXPECT_EQ(inside, RGB(255, 255, 255));
    ::ShowWindow(owner.get(), SW_HIDE);
    Pump();
    EXPECT_NE(::GetPixel(screen.get(), 608, 511), RGB(255, 0, 0));
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

TEST_F(ShadowWindow, RoundedOwnerLetsTheShadowShowInItsCorners) {
    // With a window region the owner's bounding-box corner is no longer
    // under the owner, so the shadow covers it; without one it stays clear.
    Util::UniqueWindow owner = MakeOwner(641, 457, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    CWndShadow shadow;
    shadow.Create(owner.get());
    ASSERT_TRUE(shadow.SetColor(RGB(255, 0, 0)));
    ASSERT_TRUE(shadow.SetDarkness(255));
    ASSERT_TRUE(shadow.SetSharpness(0));
    ASSERT_TRUE(shadow.SetPosition(0, 0));
    ASSERT_TRUE(shadow.SetSize(10));
    Pump();
    Util::WindowDc screen(nullptr);
    EXPECT_EQ(::GetPixel(screen.get(), 642, 458), RGB(255, 255, 255));

    ::SetWindowRgn(owner.get(), ::CreateRoundRectRgn(0, 0, 253, 161, 30, 30), TRUE);
    shadow.Update(owner.get());
    Pump();
    EXPECT_EQ(::GetPixel(screen.get(), 642, 458), RGB(255, 0, 0));
    // The middle of the top edge is still the owner's.
    EXPECT_EQ(::GetPixel(screen.get(), 641 + 126, 459), RGB(255, 255, 255));
}
