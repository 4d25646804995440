// The update hint box on the test display, built from the launcher's own
// skin archive: which buttons each style shows, what each click returns,
// and how the box answers double-clicks, Alt+F4, drags and a second box.
// The test acts from a thread timer that fires inside the box's modal loop.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "launcher/ui/msg_box_wnd.h"
#include "ui/engine/controls/control.h"
#include "ui/window/wnd_shadow.h"

using namespace TarselUI;

namespace {

// Where the skin puts the buttons (380 x 266 box): the row of buttons is
// 30 high at y 206; the left slot (btnNo or btnCancel) spans x 84..174 and
// the right slot (btnYes or btnOK) x 206..296.
constexpr POINT kLeftButtonCentre{129, 221};
constexpr POINT kRightButtonCentre{251, 221};
constexpr POINT kBackground{60, 60};

const wchar_t kPromptText[] = L"检测到新版本，是否立即更新?";
const wchar_t kForcedText[] = L"检测到新版本，请升级后使用！";

struct Observed {
    bool laidOut = false;
    bool yes = false, no = false, ok = false, cancel = false;
    std::wstring tip;
    std::wstring title;
    RECT leftPos{}, rightPos{};
};

// What the timer does once the box is laid out; returns true when done
// (otherwise it is called again on the next tick).
using Action = std::function<bool(HWND box)>;

Observed g_observed;
Action g_action;
int g_ticks = 0;

bool IsVisible(CPaintManagerUI& pm, LPCWSTR name) {
    CControlUI* control = pm.FindControl(name);
    return control && control->IsVisible();
}

RECT PosOf(CPaintManagerUI& pm, LPCWSTR name) {
    CControlUI* control = pm.FindControl(name);
    return control ? control->GetPos() : RECT{};
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR id, DWORD) {
    if (++g_ticks > 400) {  // 8 s: give up, close whatever is there
        ::KillTimer(nullptr, id);
        if (CMsgBoxWnd* box = CMsgBoxWnd::Current()) box->Close(99);
        return;
    }
    CMsgBoxWnd* box = CMsgBoxWnd::Current();
    if (!box) return;
    CPaintManagerUI& pm = box->GetPaintManager();
    if (!g_observed.laidOut) {
        CControlUI* row = pm.FindControl(L"ControlUI4");
        if (!row || ::IsRectEmpty(&row->GetPos())) return;  // first layout not done yet
        g_observed.laidOut = true;
        g_observed.yes = IsVisible(pm, L"btnYes");
        g_observed.no = IsVisible(pm, L"btnNo");
        g_observed.ok = IsVisible(pm, L"btnOK");
        g_observed.cancel = IsVisible(pm, L"btnCancel");
        if (CControlUI* tip = pm.FindControl(L"tiptext")) g_observed.tip = tip->GetText().GetData();
        wchar_t title[64] = {};
        ::GetWindowTextW(box->GetHWND(), title, 64);
        g_observed.title = title;
        g_observed.leftPos = PosOf(pm, g_observed.no ? L"btnNo" : L"btnCancel");
        g_observed.rightPos = PosOf(pm, g_observed.yes ? L"btnYes" : L"btnOK");
    }
    if (g_action(box->GetHWND())) ::KillTimer(nullptr, id);
}

void Click(HWND box, POINT pt) {
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    ::PostMessageW(box, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(box, WM_LBUTTONUP, 0, at);
}

POINT ToScreen(HWND box, POINT pt) {
    ::ClientToScreen(box, &pt);
    return pt;
}

LRESULT HitTest(HWND box, POINT client) {
    const POINT screen = ToScreen(box, client);
    return ::SendMessageW(box, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
}

class UpdateHintBox : public ::testing::Test {
protected:
    void SetUp() override {
        HINSTANCE module = ::GetModuleHandleW(nullptr);
        CWndShadow::Initialize(module);
        CPaintManagerUI::SetInstance(module);
        // The archive the main frame installs in the launcher.
        ASSERT_TRUE(InstallZipResource(MAKEINTRESOURCEW(102)));
        g_observed = Observed{};
        g_ticks = 0;
    }

    int Show(UINT style, Action action) {
        g_action = std::move(action);
        ::SetTimer(nullptr, 0, 20, OnTick);
        return CMsgBoxWnd::Show(nullptr, L"text", L"Tarsel", style);
    }
};

Action ClickAt(POINT pt) {
    return [pt](HWND box) {
        Click(box, pt);
        return true;
    };
}

struct ClickCase {
    const char* name;
    UINT style;
    POINT at;
    int expected;
};

void PrintTo(const ClickCase& c, std::ostream* out) { *out << c.name; }

class UpdateHintClicks : public UpdateHintBox, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(UpdateHintClicks, ReturnTheButtonsResult) {
    const ClickCase& c = GetParam();
    EXPECT_EQ(Show(c.style, ClickAt(c.at)), c.expected);
    EXPECT_EQ(CMsgBoxWnd::Current(), nullptr) << "the box deleted itself";
    EXPECT_EQ(::FindWindowW(L"UIMessageboxWnd", nullptr), nullptr);
}

const ClickCase kClickCases[] = {
    {"PromptNextTimeIsNo", MB_YESNO | MB_ICONQUESTION, kLeftButtonCentre, IDNO},
    {"PromptUpdateNowIsYes", MB_YESNO | MB_ICONQUESTION, kRightButtonCentre, IDYES},
    {"ForcedCancelIsCancel", MB_OKCANCEL, kLeftButtonCentre, IDCANCEL},
    {"ForcedUpdateNowIsOk", MB_OKCANCEL, kRightButtonCentre, IDOK},
    {"YesNoWithoutIconIsAPromptToo", MB_YESNO, kRightButtonCentre, IDYES},
};

INSTANTIATE_TEST_SUITE_P(Table, UpdateHintClicks, ::testing::ValuesIn(kClickCases),
                         [](const ::testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

struct LayoutCase {
    const char* name;
    UINT style;
    bool yesNo;  // btnYes and btnNo shown (else btnOK and btnCancel)
    const wchar_t* tip;
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

class UpdateHintLayout : public UpdateHintBox, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(UpdateHintLayout, ShowsTheButtonsAndTextOfItsStyle) {
    const LayoutCase& c = GetParam();
    Show(c.style, ClickAt(kRightButtonCentre));
    ASSERT_TRUE(g_observed.laidOut);
    EXPECT_EQ(g_observed.yes, c.yesNo);
    EXPECT_EQ(g_observed.no, c.yesNo);
    EXPECT_EQ(g_observed.ok, !c.yesNo);
    EXPECT_EQ(g_observed.cancel, !c.yesNo);
    EXPECT_EQ(g_observed.tip, c.tip);
    EXPECT_EQ(g_observed.title, L"Tarsel") << "the caption is the window title";
    // The skin's layout puts the visible buttons where the clicks go.
    EXPECT_EQ(g_observed.leftPos.left, 84);
    EXPECT_EQ(g_observed.leftPos.top, 206);
    EXPECT_EQ(g_observed.leftPos.right, 174);
    EXPECT_EQ(g_observed.leftPos.bottom, 236);
    EXPECT_EQ(g_observed.rightPos.left, 206);
    EXPECT_EQ(g_observed.rightPos.right, 296);
}

const LayoutCase kLayoutCases[] = {
    {"Prompt", MB_YESNO | MB_ICONQUESTION, true, kPromptText},
    {"ForcedUpdate", MB_OKCANCEL, false, kForcedText},
    {"OnlyStyleOneSwitches", MB_OKCANCEL | MB_ICONQUESTION, true, kPromptText},
    {"YesNoCancelIsNotForced", MB_YESNOCANCEL, true, kPromptText},
};

INSTANTIATE_TEST_SUITE_P(Table, UpdateHintLayout, ::testing::ValuesIn(kLayoutCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST_F(UpdateHintBox, AltF4AnswersOk) {
    const int result = Show(MB_YESNO | MB_ICONQUESTION, [](HWND box) {
        // What the system makes of Alt+F4.
        ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(UpdateHintBox, ASecondBoxIsRefusedWithCancelWhileTheFirstWaits) {
    int second = -1;
    const int first = Show(MB_YESNO | MB_ICONQUESTION, [&second](HWND box) {
        second = CMsgBoxWnd::Show(nullptr, L"again", L"again", MB_OKCANCEL);
        Click(box, kLeftButtonCentre);
        return true;
    });
    EXPECT_EQ(second, IDCANCEL);
    EXPECT_EQ(first, IDNO) << "the first box still answers";
}

TEST_F(UpdateHintBox, ABoxCanBeShownAgainOnceTheFirstHasClosed) {
    EXPECT_EQ(Show(MB_OKCANCEL, ClickAt(kRightButtonCentre)), IDOK);
    g_observed = Observed{};
    g_ticks = 0;
    EXPECT_EQ(Show(MB_OKCANCEL, ClickAt(kLeftButtonCentre)), IDCANCEL);
}

TEST_F(UpdateHintBox, DoubleClickOnTheBackgroundDoesNotMaximise) {
    bool zoomed = true;
    RECT before{}, after{};
    const int result = Show(MB_YESNO | MB_ICONQUESTION, [&](HWND box) {
        ::GetWindowRect(box, &before);
        const POINT screen = ToScreen(box, kBackground);
        ::SendMessageW(box, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        zoomed = ::IsZoomed(box) != FALSE;
        ::GetWindowRect(box, &after);
        Click(box, kRightButtonCentre);
        return true;
    });
    EXPECT_EQ(result, IDYES);
    EXPECT_FALSE(zoomed);
    EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(UpdateHintBox, BackgroundDragsTheBoxButtonsDoNot) {
    LRESULT background = 0, label = 0, yes = 0, no = 0;
    Show(MB_YESNO | MB_ICONQUESTION, [&](HWND box) {
        background = HitTest(box, kBackground);
        label = HitTest(box, POINT{190, 168});  // on "tiptext"
        yes = HitTest(box, kRightButtonCentre);
        no = HitTest(box, kLeftButtonCentre);
        Click(box, kRightButtonCentre);
        return true;
    });
    EXPECT_EQ(background, HTCAPTION);
    EXPECT_EQ(label, HTCAPTION);
    EXPECT_EQ(yes, HTCLIENT);
    EXPECT_EQ(no, HTCLIENT);
}

// Real mouse input, so that the system does the hit testing and runs its
// own move loop, as when a user drags.
void SendMouse(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + 32768) / ::GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + 32768) / ::GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
}

// A drag in steps, one per timer tick: press at `from` (client
// coordinates), move by `by` in four steps, release, then report where the
// window went. Timer ticks keep coming inside the system's move loop.
struct Drag {
    POINT from;
    POINT by;
    int step = 0;
    RECT before{}, after{};
    bool done = false;

    bool Tick(HWND box) {
        switch (step++) {
            case 0:
                // Screen coordinates fixed at the start: the box moves under the cursor.
                start = ToScreen(box, from);
                // Above every other test's window on the shared display.
                ::SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                ::GetWindowRect(box, &before);
                SendMouse(0, start);
                return false;
            case 1:
                SendMouse(MOUSEEVENTF_LEFTDOWN, start);
                return false;
            case 2: case 3: case 4: case 5: {
                const int k = step - 2;  // 1..4 of the way
                SendMouse(0, POINT{start.x + by.x * k / 4, start.y + by.y * k / 4});
                return false;
            }
            case 6:
                ::GetCursorPos(&lastCursor);
                SendMouse(MOUSEEVENTF_LEFTUP, lastCursor);
                return false;
            case 7:
            case 8:
                return false;  // let the release arrive
            default:
                ::GetWindowRect(box, &after);
                done = true;
                return true;
        }
    }
    POINT lastCursor{};
    POINT start{};
};

TEST_F(UpdateHintBox, DraggingTheBackgroundMovesTheBoxDraggingAButtonDoesNot) {
    Drag background{kBackground, POINT{40, 24}};
    Drag button{kRightButtonCentre, POINT{40, 24}};
    int phase = 0;
    const int result = Show(MB_YESNO | MB_ICONQUESTION, [&](HWND box) {
        if (phase == 0) {
            if (!background.Tick(box)) return false;
            phase = 1;
            return false;
        }
        if (!button.Tick(box)) return false;
        Click(box, kLeftButtonCentre);
        return true;
    });
    ASSERT_TRUE(background.done && button.done);
    EXPECT_EQ(background.after.left - background.before.left, 40);
    EXPECT_EQ(background.after.top - background.before.top, 24);
    EXPECT_EQ(background.after.right - background.after.left, 380);
    EXPECT_TRUE(::EqualRect(&button.before, &button.after)) << "a press on a button never moves the box";
    EXPECT_EQ(result, IDNO) << "the button released away from itself gave no click";
}

TEST_F(UpdateHintBox, IsCentredOnTheWorkAreaWithRoundedCorners) {
    RECT rc{};
    bool cornerInside = true, edgeInside = false;
    Show(MB_YESNO | MB_ICONQUESTION, [&](HWND box) {
        ::GetWindowRect(box, &rc);
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        if (::GetWindowRgn(box, region) != ERROR) {
            cornerInside = ::PtInRegion(region, 1, 1) != FALSE;
            edgeInside = ::PtInRegion(region, 190, 1) != FALSE;
        }
        ::DeleteObject(region);
        Click(box, kRightButtonCentre);
        return true;
    });
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rc.right - rc.left, 380);
    EXPECT_EQ(rc.bottom - rc.top, 266);
    EXPECT_EQ(rc.left, (work.left + work.right) / 2 - 190);
    EXPECT_EQ(rc.top, (work.top + work.bottom) / 2 - 133);
    EXPECT_FALSE(cornerInside) << "the 15 x 15 round corner cuts the top-left pixel";
    EXPECT_TRUE(edgeInside);
}

TEST(MsgBoxResult, ButtonNamesGiveTheirResults) {
    EXPECT_EQ(MsgBoxResultForButton(L"btnOK"), IDOK);
    EXPECT_EQ(MsgBoxResultForButton(L"btnCancel"), IDCANCEL);
    EXPECT_EQ(MsgBoxResultForButton(L"btnYes"), IDYES);
    EXPECT_EQ(MsgBoxResultForButton(L"btnNo"), IDNO);
    EXPECT_EQ(MsgBoxResultForButton(L"closebtn"), IDCANCEL);
    EXPECT_EQ(MsgBoxResultForButton(L"btnyes"), 0) << "names compare exactly";
    EXPECT_EQ(MsgBoxResultForButton(L"tiptext"), 0);
    EXPECT_EQ(MsgBoxResultForButton(nullptr), 0);
}

}  // namespace
