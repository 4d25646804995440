#include <gtest/gtest.h>

#include "launcher/app_paths.h"
#include "launcher/cmd_line.h"
#include "launcher/registry.h"
#include "launcher/timer_list.h"
#include "scripted_message_box.h"
#include "util/util.h"

namespace {

TEST(Registry, ComponentsAreCreatedOnceAndKept) {
    IUnify* unify = GetUnify();
    ASSERT_NE(unify, nullptr);
    EXPECT_EQ(unify, GetUnify());
    IApp* app = unify->GetApp();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app, unify->GetApp());
    EXPECT_NE(unify->GetCore(), nullptr);
    EXPECT_EQ(unify->GetCore(), unify->GetCore());
    EXPECT_NE(unify->GetDB(), nullptr);
    EXPECT_EQ(unify->GetDB(), unify->GetDB());
    EXPECT_NE(unify->GetUI(), nullptr);
    EXPECT_EQ(unify->GetUI(), unify->GetUI());
}

TEST(Registry, FreshCommandLineIsEmptyAndShared) {
    CCmdLine* cmd = GetUnify()->GetApp()->GetCmdLine();
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd, GetUnify()->GetApp()->GetCmdLine());
    EXPECT_EQ(cmd->GetText(), L"");
    EXPECT_TRUE(cmd->GetTokens().empty());
    EXPECT_EQ(cmd->GetValue(L"target"), L"");
}

TEST(Registry, PathsRecordComesFromTheExecutablesFolder) {
    CAppPaths* paths = GetUnify()->GetApp()->GetPaths();
    ASSERT_NE(paths, nullptr);
    EXPECT_EQ(paths->launcherDir, Util::GetModuleDir());
    EXPECT_EQ(paths->tempDir, Util::GetModuleDir() + L"Temp\\");
}

TEST(Registry, UiComponentAsksThroughTheMessageBox) {
    testsupport::ScriptedMessageBox& script = testsupport::GetScriptedMessageBox();
    script.answer = 7;
    EXPECT_EQ(GetUnify()->GetUI()->ShowMessageBox(nullptr, L"q", L"Tarsel", MB_YESNO | MB_ICONQUESTION), 7);
    EXPECT_EQ(script.calls, 1);
    EXPECT_EQ(script.last.caption, L"Tarsel");
    EXPECT_EQ(script.last.style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

TEST(Registry, CoreKillsRegisteredThreadTimersWhenDestroyed) {
    UINT_PTR id = SetTimer(nullptr, 0, 10, nullptr);
    ASSERT_NE(id, 0u);
    {
        CCore core;
        CTimerList* list = core.GetTimerList();
        ASSERT_EQ(list, CTimerList::GetInstance());
        list->Add(id);
    }
    EXPECT_TRUE(CTimerList::GetInstance()->Timers().empty());
    // A killed thread timer posts nothing more: after what was queued, no
    // timer message arrives within ten of its periods (the wait ends at the
    // first one that does).
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_TIMER), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

}  // namespace
