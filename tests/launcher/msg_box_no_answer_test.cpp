// A question box that cannot be created answers nothing, never a button:
// the launch flow then runs the installer as when no box is available.
#include <gtest/gtest.h>
#include <windows.h>

#include "launcher/registry.h"
#include "launcher/ui/msg_box_wnd.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/window/window_impl_base.h"

namespace {

constexpr UINT kStyles[] = {MB_OKCANCEL, MB_YESNO | MB_ICONQUESTION, MB_YESNO};

// An enumeration callback: a stdcall function on i686,
// which a lambda cannot be converted to.
BOOL CALLBACK NoteBoxWindow(HWND hwnd, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (::lstrcmpW(name, L"UIMessageboxWnd") == 0) *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

// A box window of this thread (other tests' boxes may be on the display).
bool BoxWindowExists() {
    bool found = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), &NoteBoxWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void ExpectNoAnswerForEveryStyle(HWND owner) {
    for (UINT style : kStyles) {
        EXPECT_EQ(CMsgBoxWnd::Show(owner, L"text", L"Tarsel", style), kMessageBoxNoAnswer) << "style " << style;
        // Nothing stays recorded as open, so the next question is not
        // answered "Cancel" as if a box were in the way.
        EXPECT_EQ(CMsgBoxWnd::Current(), nullptr);
    }
}

TEST(MsgBoxNoAnswer, NoAnswerIsNoButton) {
    for (int button : {IDOK, IDCANCEL, IDYES, IDNO}) EXPECT_NE(kMessageBoxNoAnswer, button);
}

TEST(MsgBoxNoAnswer, BoxWithoutItsSkinIsNotCreated) {
    // No skin archive installed and no Res folder beside the test program:
    // the window host would otherwise show a system message box and end
    // the process.
    TarselUI::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    ASSERT_STRNE(TarselUI::CPaintManagerUI::GetResourceZip().GetData(), L"membuffer");
    ExpectNoAnswerForEveryStyle(nullptr);
    EXPECT_FALSE(BoxWindowExists());
}

TEST(MsgBoxNoAnswer, BoxWhoseWindowCannotBeCreatedAnswersNothing) {
    TarselUI::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(TarselUI::InstallZipResource(MAKEINTRESOURCEW(102)));
    // An owner that is no window: CreateWindowEx refuses.
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    ::DestroyWindow(gone);
    ExpectNoAnswerForEveryStyle(gone);
    EXPECT_FALSE(BoxWindowExists());
}

}  // namespace
