// The rest of the paint manager's message table on a real window: Alt
// shortcuts and system keys, characters, the wheel, the right button and
// the context menu, double clicks, hover tooltips, closing, sizing, the
// set-cursor request, post-paint controls, printing and the update frame.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "render_canvas.h"
#include "ui_window_fixture.h"

using namespace TarselUI;
using uitest::RecordingControl;
using uitest::TestPanel;
using uitest::TestWindow;

namespace {

RecordingControl* Place(RecordingControl* control, int x, int y, int w, int h) {
    control->SetFixedXY(SIZE{x, y});
    control->SetFixedWidth(w);
    control->SetFixedHeight(h);
    return control;
}

class InputTest : public testing::Test {
protected:
    InputTest() : window_(200, 100) {
        panel_ = new TestPanel;
        panel_->SetBkColor(0xFF3060A0);
        a_ = Place(new RecordingControl, 0, 0, 100, 100);
        b_ = Place(new RecordingControl, 100, 0, 100, 100);
        panel_->Add(a_);
        panel_->Add(b_);
    }
    void Attach() {
        ASSERT_TRUE(window_.manager().AttachDialog(panel_));
        ::InvalidateRect(window_.hwnd(), nullptr, FALSE);
        window_.PumpUntilIdle();
    }
    LPARAM ScreenPoint(int x, int y) {
        POINT pt{x, y};
        ::ClientToScreen(window_.hwnd(), &pt);
        return MAKELPARAM(pt.x, pt.y);
    }

    TestWindow window_;
    TestPanel* panel_;
    RecordingControl* a_;
    RecordingControl* b_;
};

}  // namespace

TEST_F(InputTest, AltShortcutsFocusAndActivateAndLabelsPassThemOn) {
    RecordingControl* label = Place(new RecordingControl, 0, 0, 10, 10);
    label->className = L"LabelUI";
    label->SetShortcut(L'n');
    a_->SetShortcut(L'y');
    panel_->Add(label);  // searched last child first, so A is the control after the label
    Attach();

    window_.Post(WM_SYSCHAR, L'Y', 0);
    EXPECT_EQ(window_.manager().GetFocus(), a_);
    EXPECT_EQ(a_->activations, 1);
    window_.manager().SetFocus(nullptr);
    a_->SetShortcut(0);
    window_.Post(WM_SYSCHAR, L'n', 0);
    EXPECT_EQ(window_.manager().GetFocus(), b_);
    EXPECT_EQ(b_->activations, 1);
    EXPECT_EQ(label->activations, 0);

    window_.Post(WM_SYSKEYDOWN, 'Q', 0);
    ASSERT_EQ(b_->Count(UIEVENT_SYSKEY), 1);
    window_.Post(WM_CHAR, L'z', 0);
    ASSERT_EQ(b_->Count(UIEVENT_CHAR), 1);
    EXPECT_EQ(b_->events.back().chKey, L'z');
}

TEST_F(InputTest, WheelRightButtonContextMenuAndDoubleClick) {
    Attach();
    window_.MouseMove(150, 50);
    window_.Post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), ScreenPoint(150, 50));
    window_.Post(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), ScreenPoint(150, 50));
    std::vector<WPARAM> wheel;
    for (const TEventUI& e : b_->events) {
        if (e.Type == UIEVENT_SCROLLWHEEL) wheel.push_back(e.wParam);
    }
    EXPECT_EQ(wheel, (std::vector<WPARAM>{1, 0}));

    window_.Post(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 50));
    EXPECT_EQ(b_->Count(UIEVENT_RBUTTONDOWN), 1);
    EXPECT_EQ(window_.manager().GetFocus(), b_);
    EXPECT_TRUE(window_.manager().IsCaptured());
    window_.Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_.hwnd()), ScreenPoint(150, 50));
    ASSERT_EQ(b_->Count(UIEVENT_CONTEXTMENU), 1);
    EXPECT_EQ(b_->events.back().lParam, reinterpret_cast<LPARAM>(b_));
    EXPECT_FALSE(window_.manager().IsCaptured());
    EXPECT_EQ(window_.manager().GetClickControl(), nullptr);

    window_.Post(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(a_->Count(UIEVENT_DBLCLICK), 1);
    EXPECT_EQ(window_.manager().GetFocus(), b_);  // a double click moves no focus
    EXPECT_EQ(window_.manager().GetClickControl(), a_);
    window_.Post(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(a_->Count(UIEVENT_BUTTONUP), 1);
}

TEST_F(InputTest, HoverShowsTheTooltipAndCloseEndsHoverAndClick) {
    a_->SetToolTip(L"line one<n>line two");
    Attach();
    window_.MouseMove(20, 20);
    window_.Post(WM_MOUSEHOVER, 0, MAKELPARAM(20, 20));
    EXPECT_GE(a_->Count(UIEVENT_MOUSEHOVER), 1);
    ASSERT_NE(window_.manager().GetTooltipWindow(), nullptr);
    EXPECT_EQ(::SendMessageW(window_.manager().GetTooltipWindow(), TTM_GETMAXTIPWIDTH, 0, 0), 300);

    window_.LeftDown(20, 20);
    LRESULT result = 0;
    EXPECT_FALSE(window_.manager().MessageHandler(WM_CLOSE, 0, 0, result));
    EXPECT_GE(a_->Count(UIEVENT_MOUSELEAVE), 1);
    EXPECT_EQ(a_->Count(UIEVENT_BUTTONUP), 1);
    EXPECT_EQ(window_.manager().GetFocus(), nullptr);
}

TEST_F(InputTest, SizingRelaysOutAndTellsTheFocus) {
    Attach();
    window_.manager().SetFocus(a_);
    ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, 240, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window_.PumpUntilIdle();
    EXPECT_GE(a_->Count(UIEVENT_WINDOWSIZE), 1);
    EXPECT_EQ(panel_->GetPos().right, 240);
    EXPECT_EQ(panel_->GetPos().bottom, 120);
}

TEST_F(InputTest, SetCursorGoesOnlyToControlsThatAskForIt) {
    b_->extraFlags = UIFLAG_SETCURSOR;
    Attach();
    window_.MouseMove(150, 50);
    // The platform sends requests of its own when the cursor is placed.
    const int before = b_->Count(UIEVENT_SETCURSOR);
    LRESULT result = 0;
    EXPECT_TRUE(window_.manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(window_.hwnd()),
                                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
    EXPECT_EQ(b_->Count(UIEVENT_SETCURSOR), before + 1);
    window_.MouseMove(20, 50);
    EXPECT_FALSE(window_.manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(window_.hwnd()),
                                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
    EXPECT_EQ(a_->Count(UIEVENT_SETCURSOR), 0);
    EXPECT_FALSE(window_.manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(window_.hwnd()),
                                                  MAKELPARAM(HTCAPTION, WM_MOUSEMOVE), result));
}

TEST_F(InputTest, PostPaintPrintClientAndTheUpdateFrame) {
    Attach();
    window_.manager().AddPostPaint(b_);
    window_.PixelAt(0, 0);
    EXPECT_GE(b_->postPaints, 1);
    EXPECT_EQ(window_.manager().GetPostPaintCount(), 1);
    EXPECT_TRUE(window_.manager().RemovePostPaint(b_));
    EXPECT_FALSE(window_.manager().RemovePostPaint(b_));

    rendertest::Canvas canvas(200, 100);
    ::SendMessageW(window_.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_TRUE(rendertest::Near(canvas.At(50, 50), rendertest::Rgb{0x30, 0x60, 0xA0}, 0));

    window_.manager().SetShowUpdateRect(true);
    const uitest::Rgb corner = window_.PixelAt(0, 0);
    EXPECT_EQ(corner.r, 220);
    EXPECT_EQ(corner.g, 0);
    const uitest::Rgb inside = window_.PixelAt(50, 50);
    EXPECT_EQ(inside.b, 0xA0);
}

TEST_F(InputTest, FocusNeededPointsBeforeTheControlWithoutEvents) {
    Attach();
    window_.manager().SetFocusNeeded(b_);
    EXPECT_EQ(window_.manager().GetFocus(), a_);
    EXPECT_EQ(a_->Count(UIEVENT_SETFOCUS), 0);
    window_.PixelAt(0, 0);  // the paint pass clears the request without moving the focus
    EXPECT_EQ(window_.manager().GetFocus(), a_);
    window_.Key(VK_TAB);
    EXPECT_EQ(window_.manager().GetFocus(), b_);
}
