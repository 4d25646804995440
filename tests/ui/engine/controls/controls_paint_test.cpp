// The control paint sequence read back from a DIB section: background
// colours and gradients, background images, and borders in their
// precedence.

#include <gtest/gtest.h>
#include <windows.h>

#include "render_canvas.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

using namespace TarselUI;
using rendertest::Canvas;
using rendertest::Near;
using rendertest::Rgb;

namespace {

const Rgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0};

class StateControl : public CControlUI {
public:
    void SetHotState(bool hot) { m_bHot = hot; }
    void SetFocusedState(bool focused) { m_bFocused = focused; }
    void SetSelectedState(bool selected) { m_bSelected = selected; }
};

class ControlPaint : public testing::Test {
protected:
    ControlPaint() : canvas_(40, 40) {
        control_.SetManager(&pm_, nullptr, false);
        control_.SetPos(RECT{10, 10, 30, 30});
    }
    void Paint(RECT paint = RECT{0, 0, 40, 40}) { control_.DoPaint(canvas_.dc(), paint); }
    CPaintManagerUI pm_;
    StateControl control_;
    Canvas canvas_;
};

}  // namespace

TEST_F(ControlPaint, OpaqueColourFillsOnlyThePaintRectangle) {
    control_.SetAttribute(L"bkcolor", L"#FFFF0000");
    Paint(RECT{0, 0, 20, 40});
    EXPECT_TRUE(Near(canvas_.At(15, 15), kRed));
    EXPECT_TRUE(Near(canvas_.At(25, 15), kWhite));  // outside the repaint area
    EXPECT_TRUE(Near(canvas_.At(5, 15), kWhite));   // outside the control
}

TEST_F(ControlPaint, TranslucentColourRefillsTheWholeItem) {
    control_.SetAttribute(L"bkcolor", L"#80FF0000");
    Paint(RECT{0, 0, 20, 40});
    EXPECT_TRUE(Near(canvas_.At(25, 15), Rgb{255, 127, 127}, 3));
    EXPECT_TRUE(Near(canvas_.At(15, 15), Rgb{255, 127, 127}, 3));
}

TEST_F(ControlPaint, GradientBackgrounds) {
    control_.SetAttribute(L"bkcolor", L"#FFFF0000");
    control_.SetAttribute(L"bkcolor2", L"#FF0000FF");
    Paint();
    EXPECT_GT(canvas_.At(20, 10).r, 200);
    EXPECT_GT(canvas_.At(20, 29).b, 200);
    control_.SetAttribute(L"bkcolor3", L"#FFFF0000");
    canvas_.Fill(0xFFFFFFFF);
    Paint();
    EXPECT_GT(canvas_.At(20, 10).r, 200);
    EXPECT_GT(canvas_.At(20, 20).b, 200);  // colour 2 in the middle
    EXPECT_GT(canvas_.At(20, 29).r, 200);
}

TEST_F(ControlPaint, ColourHslPassesThroughTheGlobalAdjustment) {
    control_.SetAttribute(L"bkcolor", L"#FFFF0000");
    control_.SetAttribute(L"colorhsl", L"true");
    CPaintManagerUI::SetHSL(true, 300, 100, 100);
    Paint();
    CPaintManagerUI::SetHSL(true, 180, 100, 100);
    EXPECT_TRUE(Near(canvas_.At(15, 15), kGreen));
}

TEST_F(ControlPaint, BackgroundImageThatCannotLoadIsCleared) {
    control_.SetBkImage(L"file='no-such-image.png'");
    Paint();
    EXPECT_STREQ(control_.GetBkImage(), L"");
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP blue = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *static_cast<DWORD*>(bits) = 0xFF0000FF;
    control_.SetBkImage(L"mem", blue, true);
    ::DeleteObject(blue);  // the control drew its own copy
    Paint();
    EXPECT_TRUE(Near(canvas_.At(20, 20), kBlue));
    EXPECT_STREQ(control_.GetBkImage(), L"mem");
}

TEST_F(ControlPaint, BordersInTheirPrecedence) {
    struct Case {
        const char* what;
        LPCWSTR list;
        bool hot, focused;
        Rgb left, top, right;
    };
    const Case cases[] = {
        {"colour without size", L"bordercolor=\"#FFFF0000\"", false, false, kWhite, kWhite, kWhite},
        {"uniform size", L"bordercolor=\"#FFFF0000\" bordersize=\"1\"", false, false, kRed, kRed, kRed},
        {"hot colour while hot", L"bordercolor=\"#FFFF0000\" hotbordercolor=\"#FF0000FF\" bordersize=\"1\"", true,
         false, kBlue, kBlue, kBlue},
        {"hot colour while not hot", L"bordercolor=\"#FFFF0000\" hotbordercolor=\"#FF0000FF\" bordersize=\"1\"",
         false, false, kRed, kRed, kRed},
        {"focus colour", L"bordercolor=\"#FFFF0000\" focusbordercolor=\"#FF00FF00\" bordersize=\"1\"", false, true,
         kGreen, kGreen, kGreen},
        {"sides before uniform", L"bordercolor=\"#FFFF0000\" bordersize=\"1\" leftbordersize=\"2\"", false, false,
         kRed, kWhite, kWhite},
        {"state colour before sides",
         L"bordercolor=\"#FFFF0000\" hotbordercolor=\"#FF0000FF\" bordersize=\"1\" leftbordersize=\"2\"", true, false,
         kBlue, kBlue, kBlue},
    };
    for (const Case& c : cases) {
        StateControl control;
        control.SetManager(&pm_, nullptr, false);
        control.SetPos(RECT{10, 10, 30, 30});
        control.ApplyAttributeList(c.list);
        control.SetHotState(c.hot);
        control.SetFocusedState(c.focused);
        Canvas canvas(40, 40);
        control.DoPaint(canvas.dc(), RECT{0, 0, 40, 40});
        EXPECT_TRUE(Near(canvas.At(10, 20), c.left)) << c.what;
        EXPECT_TRUE(Near(canvas.At(20, 10), c.top)) << c.what;
        EXPECT_TRUE(Near(canvas.At(29, 20), c.right)) << c.what;
        EXPECT_TRUE(Near(canvas.At(20, 20), kWhite)) << c.what;
    }
}

TEST_F(ControlPaint, RoundBorderClipsTheBackground) {
    control_.ApplyAttributeList(L"bkcolor=\"#FFFF0000\" borderround=\"10,10\"");
    Paint();
    EXPECT_TRUE(Near(canvas_.At(10, 10), kWhite));  // the corner is clipped away
    EXPECT_TRUE(Near(canvas_.At(20, 20), kRed));
    EXPECT_TRUE(Near(canvas_.At(10, 20), kRed));
}
