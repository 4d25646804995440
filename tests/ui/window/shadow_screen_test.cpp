// The shadow's picture as it reaches the display. These cases read the
// screen, so CTest runs them with nothing else beside them (RUN_SERIAL):
// a window of another test drawn over the spot would change what is read.
// Wine hands a layered window's pixels to the X server a little after the
// call that set them, so each look waits (briefly, bounded) for the screen
// to settle instead of reading once.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "shadow_test_owner.h"
#include "ui/window/wnd_shadow.h"
#include "util/unique_handle.h"

using namespace TarselUI;
using shadowtest::Pump;
using shadowtest::ShadowWindow;

namespace {

// Pumps and reads the screen pixel until `settled` holds or two seconds
// pass; returns the last colour read.
COLORREF ScreenPixelWhen(int x, int y, const std::function<bool(COLORREF)>& settled) {
    Util::WindowDc screen(nullptr);
    COLORREF color = CLR_INVALID;
    for (int attempt = 0; attempt < 40; ++attempt) {
        Pump();
        ::GdiFlush();
        color = ::GetPixel(screen.get(), x, y);
        if (settled(color)) break;
    }
    return color;
}

COLORREF ScreenPixelSettlesTo(int x, int y, COLORREF expected) {
    return ScreenPixelWhen(x, y, [expected](COLORREF c) { return c == expected; });
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void MakeOpaqueRedRing(CWndShadow& shadow, HWND owner) {
    shadow.Create(owner);
    ASSERT_TRUE(shadow.SetColor(kRed));
    ASSERT_TRUE(shadow.SetDarkness(255));
    ASSERT_TRUE(shadow.SetSharpness(0));
    ASSERT_TRUE(shadow.SetPosition(0, 0));
    ASSERT_TRUE(shadow.SetSize(10));
}

}  // namespace

TEST_F(ShadowWindow, PictureReachesTheScreen) {
    // An opaque red ring (sharpness 0, so the whole 10-pixel border is at
    // full darkness) shows beside the owner on the display.
    Util::UniqueWindow owner = MakeOwner(213, 231, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    CWndShadow shadow;
    MakeOpaqueRedRing(shadow, owner.get());
    EXPECT_EQ(ScreenPixelSettlesTo(208, 311, kRed), kRed);
    EXPECT_EQ(ScreenPixelSettlesTo(300, 311, kWhite), kWhite);
    ::ShowWindow(owner.get(), SW_HIDE);
    EXPECT_NE(ScreenPixelWhen(208, 311, [](COLORREF c) { return c != kRed; }), kRed);
}

TEST_F(ShadowWindow, RoundedOwnerLetsTheShadowShowInItsCorners) {
    // With a window region the owner's bounding-box corner is no longer
    // under the owner, so the shadow covers it; without one it stays clear.
    Util::UniqueWindow owner = MakeOwner(641, 457, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    CWndShadow shadow;
    MakeOpaqueRedRing(shadow, owner.get());
    EXPECT_EQ(ScreenPixelSettlesTo(642, 458, kWhite), kWhite);

    ::SetWindowRgn(owner.get(), ::CreateRoundRectRgn(0, 0, 253, 161, 30, 30), TRUE);
    shadow.Update(owner.get());
    EXPECT_EQ(ScreenPixelSettlesTo(642, 458, kRed), kRed);
    // The middle of the top edge is still the owner's.
    EXPECT_EQ(ScreenPixelSettlesTo(641 + 126, 459, kWhite), kWhite);
}
