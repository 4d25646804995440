// A skin that cannot be built: the host tells the user in a message box
// ("加载资源文件失败", caption "TarselUI") and ends the process with 1; a
// missing archive resource leaves the window without content instead.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/test_paths.h"
#include "util/unique_handle.h"

namespace {

struct Found {
    DWORD pid;
    HWND dialog;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (pid == found->pid && ::lstrcmpW(name, L"#32770") == 0 && ::IsWindowVisible(window)) {
        found->dialog = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    wchar_t text[128] = {};
    ::GetWindowTextW(child, text, 128);
    *reinterpret_cast<std::wstring*>(param) += std::wstring(text) + L"|";
    return TRUE;
}

struct ChildRun {
    Util::UniqueHandle process;
    DWORD pid = 0;
    ~ChildRun() {
        if (process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process.get(), 9);
    }
};

void Start(ChildRun& run, const std::wstring& mode) {
    std::wstring line = L"\"" + testsupport::BuildDir() + L"tests\\ui\\window\\window_load_failure.exe\" " + mode;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    ::CloseHandle(info.hThread);
    run.process.reset(info.hProcess);
    run.pid = info.dwProcessId;
}

DWORD ExitCode(ChildRun& run) {
    if (::WaitForSingleObject(run.process.get(), 20000) != WAIT_OBJECT_0) return 0xDEAD;
    DWORD code = 0;
    ::GetExitCodeProcess(run.process.get(), &code);
    return code;
}

class SkinLoadFailure : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(SkinLoadFailure, TellsTheUserAndEndsWithOne) {
    ChildRun run;
    Start(run, GetParam());
    Found found{run.pid, nullptr};
    for (int i = 0; i < 200 && !found.dialog; ++i) {
        if (::WaitForSingleObject(run.process.get(), 0) == WAIT_OBJECT_0) break;
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        if (!found.dialog) ::Sleep(50);
    }
    ASSERT_NE(found.dialog, nullptr) << "no message box appeared";
    wchar_t caption[32] = {};
    ::GetWindowTextW(found.dialog, caption, 32);
    EXPECT_STREQ(caption, L"TarselUI");
    std::wstring texts;
    ::EnumChildWindows(found.dialog, CollectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(texts.find(L"加载资源文件失败"), std::wstring::npos);
    ::PostMessageW(found.dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ExitCode(run), 1u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SkinLoadFailure, ::testing::Values(L"broken", L"missing", L"xmlres"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::wstring mode = info.param;
                             return std::string(mode.begin(), mode.end());
                         });

TEST(SkinLoadFailureZipResource, MissingArchiveLeavesTheWindowEmptyWithoutAMessage) {
    ChildRun run;
    Start(run, L"zipres");
    EXPECT_EQ(ExitCode(run), 0u);
}

}  // namespace
