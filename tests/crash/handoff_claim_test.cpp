// The second stage of a hand-off with the stub reporter: the reporter is
// held until the claim is decided, and a reporter whose thread lost the
// claim never runs (two threads may race to hand one crash over).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "crash/handoff.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace {

namespace toolkit = crash::thrower::exception_toolkit;

bool Answer(void* context) noexcept { return *static_cast<bool*>(context); }

TEST(HandoffClaim, OnlyTheClaimingThreadsReporterRuns) {
    for (bool claimed : {false, true}) {
        SCOPED_TRACE(claimed ? "claimed" : "lost");
        testsupport::TempDir temp;
        const std::wstring dir = temp / L"";
        const std::wstring reporter = dir + L"tarselcrash.exe";
        ASSERT_TRUE(::CopyFileW(testsupport::ToolPath(L"tarselcrash.exe").c_str(), reporter.c_str(), FALSE));

        toolkit::prepared_handoff prepared;
        ::lstrcpynW(prepared.reporter_path, reporter.c_str(), MAX_PATH);
        toolkit::crash_request request;
        request.thread_id = ::GetCurrentThreadId();
        // No such section: a reporter that runs reports that it cannot open it.
        const std::wstring channel = L"TarselClaimTest-" + std::to_wstring(::GetCurrentProcessId());
        bool answer = claimed;

        EXPECT_EQ(toolkit::run_reporter(prepared, request, channel.c_str(), &Answer, &answer), claimed);
        // A reporter wrongly let go would write its report before it ends.
        EXPECT_TRUE(testsupport::WaitUntilNoProcessOfImage(reporter, 20000)) << "the reporter still runs";
        EXPECT_EQ(testsupport::FileExists(dir + L"tarselcrash_report.txt"), claimed);
    }
}

TEST(HandoffClaim, MissingReporterIsNoHandoff) {
    testsupport::TempDir temp;
    toolkit::prepared_handoff prepared;
    ::lstrcpynW(prepared.reporter_path, (temp / L"tarselcrash.exe").c_str(), MAX_PATH);
    toolkit::crash_request request;
    EXPECT_FALSE(toolkit::run_reporter(prepared, request, L"TarselClaimTest-missing", nullptr, nullptr));
}

}  // namespace
