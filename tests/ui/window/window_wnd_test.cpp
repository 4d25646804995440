// The native window wrapper on the test display: the link between object
// and window, the modal loop, centring and superclassing.

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "ui/engine/controls/paint_manager.h"
#include "ui/window/window_wnd.h"

using namespace TarselUI;

namespace {

class PlainWnd : public CWindowWnd {
public:
    LPCWSTR GetWindowClassName() const override { return L"TarselTestPlainWnd"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(uMsg);
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
    void DoInitShadow() override { ++shadowInits; }
    void OnFinalMessage(HWND hWnd) override { finalHandle = hWnd; }
    int Count(UINT message) const {
        int n = 0;
        for (UINT m : messages) n += (m == message);
        return n;
    }

    std::vector<UINT> messages;
    int shadowInits = 0;
    HWND finalHandle = nullptr;
};

class ButtonSuperclass : public PlainWnd {
public:
    LPCWSTR GetWindowClassName() const override { return L"TarselTestButtonSuperclass"; }
    LPCWSTR GetSuperClassName() const override { return L"BUTTON"; }
};

class WindowWnd : public ::testing::Test {
protected:
    void SetUp() override { CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr)); }
};

bool g_ownerEnabledInside = true;
HWND g_dialogWindow = nullptr;

void CALLBACK LookAtOwnerThenClose(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_ownerEnabledInside = ::IsWindowEnabled(::GetWindow(g_dialogWindow, GW_OWNER)) != FALSE;
    ::PostMessageW(g_dialogWindow, WM_CLOSE, 6, 0);
}

RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

TEST_F(WindowWnd, CreationLinksObjectAndWindowUntilTheFinalMessage) {
    PlainWnd wnd;
    HWND hwnd = wnd.Create(nullptr, L"plain", WS_POPUP, 0, 10, 20, 120, 80);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(wnd.GetHWND(), hwnd);
    EXPECT_EQ(static_cast<HWND>(wnd), hwnd);
    ASSERT_FALSE(wnd.messages.empty());
    EXPECT_EQ(wnd.messages.front(), static_cast<UINT>(WM_NCCREATE)) << "messages before WM_NCCREATE know no object";
    EXPECT_EQ(wnd.Count(WM_NCCREATE), 1) << "WM_NCCREATE reaches HandleMessage too";
    EXPECT_EQ(wnd.Count(WM_CREATE), 1);

    ::DestroyWindow(hwnd);
    EXPECT_EQ(wnd.finalHandle, hwnd);
    EXPECT_EQ(wnd.GetHWND(), nullptr);
    EXPECT_EQ(wnd.Count(WM_NCDESTROY), 0) << "WM_NCDESTROY goes to the previous procedure only";
}

TEST_F(WindowWnd, ASecondWindowOfTheSameClassRegistersAgainWithoutFailing) {
    PlainWnd first, second;
    ASSERT_NE(first.Create(nullptr, L"a", WS_POPUP, 0), nullptr);
    ASSERT_NE(second.Create(nullptr, L"b", WS_POPUP, 0), nullptr);
    ::DestroyWindow(first.GetHWND());
    ::DestroyWindow(second.GetHWND());
}

TEST_F(WindowWnd, CreateUIWindowStartsAtOriginWithNoSize) {
    PlainWnd wnd;
    ASSERT_NE(wnd.CreateUIWindow(nullptr, L"ui", WS_POPUP), nullptr);
    const RECT rc = WindowRect(wnd.GetHWND());
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right - rc.left, 0);
    ::DestroyWindow(wnd.GetHWND());
}

TEST_F(WindowWnd, TheEnginesShadowMessageStartsTheShadow) {
    PlainWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, L"s", WS_POPUP, 0), nullptr);
    wnd.SendMessageW(UIMSG_INIT_SHADOW);
    wnd.SendMessageW(WM_NULL);
    EXPECT_EQ(wnd.shadowInits, 1);
    ::DestroyWindow(wnd.GetHWND());
}

TEST_F(WindowWnd, ShowModalReturnsTheCodeGivenToClose) {
    PlainWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, L"modal", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
    wnd.Close(42);
    EXPECT_EQ(wnd.ShowModal(), 42u);
    EXPECT_EQ(wnd.GetHWND(), nullptr) << "the default procedure destroyed the window on WM_CLOSE";
    EXPECT_NE(wnd.finalHandle, nullptr);
}

TEST_F(WindowWnd, ShowModalDisablesTheOwnerWhileItRuns) {
    PlainWnd owner, dialog;
    ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 0, 300, 300), nullptr);
    ASSERT_NE(dialog.Create(owner.GetHWND(), L"dialog", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
    g_ownerEnabledInside = true;
    g_dialogWindow = dialog.GetHWND();
    ASSERT_NE(::SetTimer(nullptr, 0, 50, LookAtOwnerThenClose), 0u);
    EXPECT_EQ(dialog.ShowModal(), 6u);
    EXPECT_FALSE(g_ownerEnabledInside);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
    ::DestroyWindow(owner.GetHWND());
}

TEST_F(WindowWnd, AQuitInsideTheModalLoopEndsItAndIsPostedAgain) {
    PlainWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, L"quit", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
    ::PostQuitMessage(77);
    EXPECT_EQ(wnd.ShowModal(), 0u);
    EXPECT_NE(wnd.GetHWND(), nullptr) << "the window stays; only the loop ended";
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 77u);
    ::DestroyWindow(wnd.GetHWND());
}

TEST_F(WindowWnd, CenterWindowCentresOnTheOwner) {
    PlainWnd owner, dialog;
    ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 100, 400, 300), nullptr);
    ASSERT_NE(dialog.Create(owner.GetHWND(), L"dialog", WS_POPUP, 0, 0, 0, 101, 51), nullptr);
    dialog.CenterWindow();
    const RECT rc = WindowRect(dialog.GetHWND());
    EXPECT_EQ(rc.left, 300 - 50);
    EXPECT_EQ(rc.top, 250 - 25);
    EXPECT_EQ(rc.right - rc.left, 101);
    ::DestroyWindow(owner.GetHWND());
}

TEST_F(WindowWnd, CenterWindowWithoutOwnerCentresOnTheWorkArea) {
    PlainWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, L"alone", WS_POPUP, 0, 0, 0, 200, 100), nullptr);
    wnd.CenterWindow();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT rc = WindowRect(wnd.GetHWND());
    EXPECT_EQ(rc.left, (work.left + work.right) / 2 - 100);
    EXPECT_EQ(rc.top, (work.top + work.bottom) / 2 - 50);
    ::DestroyWindow(wnd.GetHWND());
}

struct CentreCase {
    const char* name;
    RECT reference;
    SIZE size;
    POINT expected;
};

void PrintTo(const CentreCase& c, std::ostream* out) { *out << c.name; }

class CentredPosition : public ::testing::TestWithParam<CentreCase> {};

TEST_P(CentredPosition, StaysInsideTheWorkArea) {
    const RECT work{0, 0, 1024, 740};
    const CentreCase& c = GetParam();
    const POINT pt = CenteredPosition(c.reference, work, c.size);
    EXPECT_EQ(pt.x, c.expected.x);
    EXPECT_EQ(pt.y, c.expected.y);
}

const CentreCase kCentreCases[] = {
    {"Centred", {100, 100, 500, 400}, {101, 51}, {250, 225}},
    {"OddSizesUseIntegerDivision", {0, 0, 1024, 740}, {381, 267}, {322, 237}},
    {"RaisedToTheLeftEdge", {-300, 0, 0, 200}, {200, 100}, {0, 50}},
    {"PulledBackFromTheRightEdge", {900, 600, 1100, 800}, {380, 266}, {644, 474}},
    {"LargerThanTheWorkAreaSticksToTheTopLeft", {0, 0, 1024, 740}, {2000, 1000}, {0, 0}},
};

INSTANTIATE_TEST_SUITE_P(Table, CentredPosition, ::testing::ValuesIn(kCentreCases),
                         [](const ::testing::TestParamInfo<CentreCase>& info) { return std::string(info.param.name); });

TEST_F(WindowWnd, SuperclassKeepsTheSystemClassBehaviour) {
    ButtonSuperclass wnd;
    ASSERT_NE(wnd.Create(nullptr, L"Press", WS_POPUP | BS_PUSHBUTTON, 0, 0, 0, 80, 30), nullptr);
    wchar_t text[16] = {};
    ::GetWindowTextW(wnd.GetHWND(), text, 16);
    EXPECT_STREQ(text, L"Press");
    EXPECT_GT(wnd.Count(WM_CREATE), 0) << "messages pass through HandleMessage";
    // The button's own procedure answers what a plain window would not.
    EXPECT_EQ(wnd.SendMessageW(WM_GETDLGCODE) & DLGC_BUTTON, static_cast<LRESULT>(DLGC_BUTTON));
    HWND hwnd = wnd.GetHWND();
    ::DestroyWindow(hwnd);
    EXPECT_EQ(wnd.finalHandle, hwnd);
}

TEST_F(WindowWnd, SubclassRoutesAnExistingWindowUntilUnsubclassed) {
    PlainWnd host;
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_EQ(host.Subclass(hwnd), hwnd);
    ::SendMessageW(hwnd, WM_NULL, 0, 0);
    EXPECT_EQ(host.Count(WM_NULL), 1);
    host.Unsubclass();
    ::SendMessageW(hwnd, WM_NULL, 0, 0);
    EXPECT_EQ(host.Count(WM_NULL), 1);
    ::DestroyWindow(hwnd);
}

}  // namespace
