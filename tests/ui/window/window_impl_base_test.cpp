// The skinned window base on the test display, with skins given as markup
// text: hit testing of the size box and caption band, the maximised size,
// the rounded region, caption buttons and the modal loop.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/engine/controls/control.h"
#include "ui/window/window_impl_base.h"
#include "ui/window/wnd_shadow.h"

using namespace TarselUI;

namespace {

// 252 x 160 with a 40-high caption band: a label, "maxbtn", a hidden
// "restorebtn", "closebtn", then an empty stretch of band (x 160..252);
// the hidden button takes no room, so "closebtn" spans x 130..160.
const wchar_t kSkin[] =
    L"<Window size=\"252,160\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\" roundcorner=\"4,4\">"
    L"<VerticalLayout mouse=\"false\">"
    L"<HorizontalLayout height=\"40\" mouse=\"false\">"
    L"<Label name=\"title\" width=\"100\" text=\"title\" />"
    L"<Button name=\"maxbtn\" width=\"30\" />"
    L"<Button name=\"restorebtn\" width=\"30\" visible=\"false\" />"
    L"<Button name=\"closebtn\" width=\"30\" />"
    L"</HorizontalLayout>"
    L"<Label name=\"body\" />"
    L"</VerticalLayout>"
    L"</Window>";

class SkinWindow : public WindowImplBase {
public:
    LPCWSTR GetWindowClassName() const override { return L"TarselTestSkinWindow"; }
    CUIString GetSkinDir() override { return L""; }
    CUIString GetSkinXml() override { return kSkin; }
    void InitWindow() override {
        WindowImplBase::InitWindow();
        ++initCount;
    }
    int initCount = 0;
};

void Pump() {
    for (int round = 0; round < 5; ++round) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CPaintManagerUI::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::Sleep(10);
    }
}

class SkinnedWindow : public ::testing::Test {
protected:
    void SetUp() override {
        CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
        ASSERT_NE(wnd_.Create(nullptr, L"skinned", WS_POPUP | WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, 0),
                  nullptr);
        ::SetWindowPos(wnd_.GetHWND(), HWND_TOPMOST, 100, 120, 0, 0, SWP_NOSIZE);
        ::UpdateWindow(wnd_.GetHWND());
        Pump();
    }
    void TearDown() override {
        if (wnd_.GetHWND()) ::DestroyWindow(wnd_.GetHWND());
    }

    LRESULT HitTest(int x, int y) {
        POINT pt{x, y};
        ::ClientToScreen(wnd_.GetHWND(), &pt);
        return ::SendMessageW(wnd_.GetHWND(), WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }

    void Click(int x, int y) {
        const LPARAM at = MAKELPARAM(x, y);
        ::PostMessageW(wnd_.GetHWND(), WM_MOUSEMOVE, 0, at);
        ::PostMessageW(wnd_.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(wnd_.GetHWND(), WM_LBUTTONUP, 0, at);
        Pump();
    }

    bool Visible(LPCWSTR name) {
        CControlUI* control = wnd_.GetPaintManager().FindControl(name);
        return control && control->IsVisible();
    }

    SkinWindow wnd_;
};

TEST_F(SkinnedWindow, CreationBuildsTheSkinAndTakesItsSize) {
    EXPECT_EQ(wnd_.initCount, 1);
    RECT rc{};
    ::GetWindowRect(wnd_.GetHWND(), &rc);
    EXPECT_EQ(rc.right - rc.left, 252);
    EXPECT_EQ(rc.bottom - rc.top, 160);
    RECT client{};
    ::GetClientRect(wnd_.GetHWND(), &client);
    EXPECT_EQ(client.right, 252) << "the client area covers the whole window";
    EXPECT_EQ(client.bottom, 160);
    EXPECT_EQ(::GetWindowLongW(wnd_.GetHWND(), GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_NE(::GetWindowLongW(wnd_.GetHWND(), GWL_STYLE) & WS_CLIPCHILDREN, 0);
    ASSERT_NE(wnd_.GetPaintManager().FindControl(L"title"), nullptr);
}

struct HitCase {
    const char* name;
    int x, y;
    LRESULT expected;
};

void PrintTo(const HitCase& c, std::ostream* out) { *out << c.name; }

class SkinnedWindowHitTest : public SkinnedWindow, public ::testing::WithParamInterface<HitCase> {};

TEST_P(SkinnedWindowHitTest, Answers) {
    const HitCase& c = GetParam();
    EXPECT_EQ(HitTest(c.x, c.y), c.expected);
}

const HitCase kHitCases[] = {
    {"LabelAtTheBandsLastRowDrags", 50, 39, HTCAPTION},
    {"BelowTheBandIsClient", 50, 40, HTCLIENT},
    {"ButtonInTheBandIsClient", 115, 20, HTCLIENT},
    {"EmptyBandIsClient", 200, 20, HTCLIENT},
    {"TopLeftCorner", 2, 2, HTTOPLEFT},
    {"TopEdgeBeforeTheBand", 50, 3, HTTOP},
    {"TopRightCorner", 250, 2, HTTOPRIGHT},
    {"LeftEdge", 3, 100, HTLEFT},
    {"RightEdge", 249, 100, HTRIGHT},
    {"InsideTheRightEdge", 248, 100, HTCLIENT},
    {"BottomLeftCorner", 1, 158, HTBOTTOMLEFT},
    {"BottomEdge", 100, 157, HTBOTTOM},
    {"AboveTheBottomEdge", 100, 156, HTCLIENT},
    {"BottomRightCorner", 251, 159, HTBOTTOMRIGHT},
};

INSTANTIATE_TEST_SUITE_P(Table, SkinnedWindowHitTest, ::testing::ValuesIn(kHitCases),
                         [](const ::testing::TestParamInfo<HitCase>& info) { return std::string(info.param.name); });

TEST_F(SkinnedWindow, RoundCornerRegionIsBuiltOneBeyondTheWindow) {
    HRGN actual = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(wnd_.GetHWND(), actual), ERROR);
    HRGN expected = ::CreateRoundRectRgn(0, 0, 253, 161, 4, 4);
    std::string differences;
    for (int y = 0; y < 161; ++y) {
        for (int x = 0; x < 253; ++x) {
            if (::PtInRegion(actual, x, y) != ::PtInRegion(expected, x, y)) {
                differences += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
            }
        }
    }
    EXPECT_EQ(differences, "");
    EXPECT_FALSE(::PtInRegion(actual, 0, 0)) << "the corner is cut";
    EXPECT_TRUE(::PtInRegion(actual, 251, 80));
    ::DeleteObject(actual);
    ::DeleteObject(expected);
}

TEST_F(SkinnedWindow, MaxButtonMaximisesAndSwapsTheButtonsRestoreSwapsBack) {
    ASSERT_TRUE(Visible(L"maxbtn"));
    ASSERT_FALSE(Visible(L"restorebtn"));
    Click(115, 20);
    ASSERT_TRUE(::IsZoomed(wnd_.GetHWND()));
    EXPECT_FALSE(Visible(L"maxbtn"));
    EXPECT_TRUE(Visible(L"restorebtn"));

    // Maximised: the work area's size, and no resize borders.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT client{};
    ::GetClientRect(wnd_.GetHWND(), &client);
    EXPECT_EQ(client.right, work.right - work.left);
    EXPECT_EQ(client.bottom, work.bottom - work.top);
    EXPECT_EQ(HitTest(2, 2), HTCAPTION) << "no size box while maximised: the label's drag band";
    EXPECT_EQ(HitTest(2, 100), HTCLIENT);
    EXPECT_EQ(HitTest(client.right - 1, client.bottom - 1), HTCLIENT);

    Pump();  // lay out the maximised window: restorebtn now sits where maxbtn was
    Click(115, 20);
    EXPECT_FALSE(::IsZoomed(wnd_.GetHWND()));
    EXPECT_TRUE(Visible(L"maxbtn"));
    EXPECT_FALSE(Visible(L"restorebtn"));
}

TEST_F(SkinnedWindow, SystemCloseClosesTheWindow) {
    HWND hwnd = wnd_.GetHWND();
    ::SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(wnd_.GetHWND(), nullptr);
}

TEST_F(SkinnedWindow, CloseButtonEndsTheModalLoopWithOk) {
    const LPARAM at = MAKELPARAM(145, 20);
    ::PostMessageW(wnd_.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(wnd_.GetHWND(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(wnd_.ShowModal(), static_cast<UINT>(IDOK));
    EXPECT_EQ(wnd_.GetHWND(), nullptr);
}

TEST_F(SkinnedWindow, ClicksOnOtherControlsDoNothing) {
    Click(50, 20);   // the label
    Click(50, 100);  // the body
    EXPECT_TRUE(::IsWindow(wnd_.GetHWND()));
    EXPECT_FALSE(::IsZoomed(wnd_.GetHWND()));
}

// A skin that asks for the shadow and the back window.
class DecoratedWindow : public WindowImplBase {
public:
    LPCWSTR GetWindowClassName() const override { return L"TarselTestDecoratedWindow"; }
    CUIString GetSkinDir() override { return L""; }
    CUIString GetSkinXml() override {
        return L"<Window size=\"200,100\" shadow=\"true\" shadowsize=\"5\" shadowsharp=\"4\" shadowdark=\"30\" "
               L"shadowx=\"2\" shadowy=\"3\" backwnd=\"true\" backwndimage=\"back.png\" backwndpos=\"10,20,30,40\">"
               L"<VerticalLayout bkcolor=\"#FF336699\" /></Window>";
    }
};

TEST(DecoratedWindow, ShadowStartsAfterTheFirstLayoutWithTheSkinsSettings) {
    CWndShadow::Initialize(::GetModuleHandleW(nullptr));
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    DecoratedWindow wnd;
    ASSERT_NE(wnd.Create(nullptr, L"decorated", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(wnd.GetShadowWnd(), nullptr) << "no shadow before the first paint";
    ::SetWindowPos(wnd.GetHWND(), HWND_TOPMOST, 300, 200, 0, 0, SWP_NOSIZE);
    ::UpdateWindow(wnd.GetHWND());
    Pump();
    ASSERT_NE(wnd.GetShadowWnd(), nullptr);
    const ShadowParams params = wnd.GetShadowWnd()->GetParams();
    EXPECT_EQ(params.size, 5);
    EXPECT_EQ(params.sharpness, 4);
    EXPECT_EQ(params.darkness, 30);
    EXPECT_EQ(params.offsetX, 2);
    EXPECT_EQ(params.offsetY, 3);
    ::DestroyWindow(wnd.GetHWND());
}

BOOL CALLBACK FindBackWnd(HWND window, LPARAM param) {
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == ::GetCurrentProcessId() && ::lstrcmpW(name, L"UIBackWnd") == 0) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

TEST(DecoratedWindow, BackWindowSitsBehindTheHostEnlargedByItsMargins) {
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    DecoratedWindow wnd;
    ASSERT_NE(wnd.Create(nullptr, L"decorated", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0), nullptr);
    ::SetWindowPos(wnd.GetHWND(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    HWND back = nullptr;
    ::EnumWindows(FindBackWnd, reinterpret_cast<LPARAM>(&back));
    ASSERT_NE(back, nullptr);
    RECT rc{};
    ::GetWindowRect(back, &rc);
    EXPECT_EQ(rc.left, 300 - 10);
    EXPECT_EQ(rc.top, 200 - 20);
    EXPECT_EQ(rc.right, 500 + 30);
    EXPECT_EQ(rc.bottom, 300 + 40);
    EXPECT_NE(::GetWindowLongW(back, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0) << "clicks pass through it";
    // Behind the host: the host comes first in the Z order.
    bool hostSeen = false;
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (w == wnd.GetHWND()) hostSeen = true;
        if (w == back) break;
    }
    EXPECT_TRUE(hostSeen);
    ::ShowWindow(wnd.GetHWND(), SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(back)) << "hidden with its host";
    ::DestroyWindow(wnd.GetHWND());
}

TEST(WindowImplBaseText, AnsiToUnicodeUsesTheCodePage) {
    EXPECT_STREQ(WindowImplBase::ANSIToUnicode("abc").GetData(), L"abc");
    EXPECT_STREQ(WindowImplBase::ANSIToUnicode("").GetData(), L"");
    EXPECT_STREQ(WindowImplBase::ANSIToUnicode(nullptr).GetData(), L"");
    // The launcher's texts assume code page 936, as the test run sets it up:
    // "\xD6\xD0" is the character for "middle".
    ASSERT_EQ(::GetACP(), 936u);
    EXPECT_STREQ(WindowImplBase::ANSIToUnicode("\xD6\xD0").GetData(), L"\x4E2D");
}

TEST(ZipResourceInstall, MissingResourceInstallsNothing) {
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    EXPECT_FALSE(InstallZipResource(MAKEINTRESOURCEW(102)));
    EXPECT_FALSE(InstallZipResource(L""));
    EXPECT_TRUE(CPaintManagerUI::GetResourceZip().IsEmpty());
}

}  // namespace
