// The catcher inside a test process: which hooks it holds, and how the
// filter behaves when there is no reporter beside the executable.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "crash/exception_catcher.h"
#include "crash/reporter_handoff.h"
#include "crash/runtime_hooks.h"
#include "crash/thread_suspension.h"
#include "util/unique_handle.h"

namespace {

using crash::thrower::exception_catcher;
namespace toolkit = crash::thrower::exception_toolkit;

LONG WINAPI SentinelFilter(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }
void __cdecl SentinelPurecall() {}
void __cdecl SentinelInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int, uintptr_t) {}

LPTOP_LEVEL_EXCEPTION_FILTER CurrentFilter() {
    LPTOP_LEVEL_EXCEPTION_FILTER current = ::SetUnhandledExceptionFilter(nullptr);
    ::SetUnhandledExceptionFilter(current);
    return current;
}

struct Hooks {
    LPTOP_LEVEL_EXCEPTION_FILTER filter;
    toolkit::purecall_hook purecall;
    toolkit::invalid_parameter_hook invalidParameter;
    bool operator==(const Hooks&) const = default;
};

Hooks CurrentHooks() {
    return {CurrentFilter(), toolkit::current_purecall_hook(), toolkit::current_invalid_parameter_hook()};
}

const Hooks kSentinels{&SentinelFilter, &SentinelPurecall, &SentinelInvalidParameter};
const Hooks kCatchers{&exception_catcher::exception_filter, &exception_catcher::purecall_handler,
                      &exception_catcher::invalid_parameter_handler};

// Puts sentinel hooks in place for a test and the originals back after it.
class HookSandbox : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = {::SetUnhandledExceptionFilter(kSentinels.filter), toolkit::set_purecall_hook(kSentinels.purecall),
                  toolkit::set_invalid_parameter_hook(kSentinels.invalidParameter)};
    }
    void TearDown() override {
        ::SetUnhandledExceptionFilter(saved_.filter);
        toolkit::set_purecall_hook(saved_.purecall);
        toolkit::set_invalid_parameter_hook(saved_.invalidParameter);
    }
    Hooks saved_{};
};

TEST_F(HookSandbox, CatcherHoldsTheHooksForItsLifetimeAndPutsThemBack) {
    {
        exception_catcher catcher(true, L"product-x", L"1.2.3.4", true);
        EXPECT_TRUE(catcher.installed());
        EXPECT_TRUE(CurrentHooks() == kCatchers);
        EXPECT_EQ(std::wstring(crash::thrower::catcher_product()), L"product-x");
        EXPECT_EQ(std::wstring(crash::thrower::catcher_version()), L"1.2.3.4");
        EXPECT_TRUE(crash::thrower::catcher_embed());

        catcher.uninstall();
        EXPECT_FALSE(catcher.installed());
        EXPECT_TRUE(CurrentHooks() == kSentinels);
        catcher.uninstall();  // a second uninstall changes nothing
        EXPECT_TRUE(CurrentHooks() == kSentinels);

        catcher.install();
        EXPECT_TRUE(catcher.installed());
        EXPECT_TRUE(CurrentHooks() == kCatchers);
    }
    EXPECT_TRUE(CurrentHooks() == kSentinels);
}

TEST_F(HookSandbox, CatcherWithoutRestoreLeavesItsHooksInstalled) {
    { exception_catcher catcher(false, L"p", L"v", false); }
    EXPECT_TRUE(CurrentHooks() == kCatchers);
    EXPECT_FALSE(crash::thrower::catcher_embed());
}

TEST(RuntimeHooks, WineRuntimeLeavesTheInvalidParameterHookToTheProgram) {
    // msvcrt.dll under Wine exports no setter, so the program keeps the hook
    // itself; the setters must still round-trip what they were given.
    EXPECT_FALSE(toolkit::runtime_offers_invalid_parameter_hook());
    auto previous = toolkit::set_invalid_parameter_hook(&SentinelInvalidParameter);
    EXPECT_EQ(toolkit::current_invalid_parameter_hook(), &SentinelInvalidParameter);
    toolkit::set_invalid_parameter_hook(previous);
}

// A worker that counts until told to stop, to see whether it is frozen.
class CountingWorker {
public:
    CountingWorker() : thread_(::CreateThread(nullptr, 0, &Run, this, 0, &threadId_)) {
        while (counter_ < 1000) ::Sleep(1);
    }
    ~CountingWorker() {
        ::InterlockedExchange(&stop_, 1);
        ::WaitForSingleObject(thread_.get(), INFINITE);
    }
    DWORD ThreadId() const { return threadId_; }
    bool MovesWithin(DWORD ms) const {
        const LONG before = counter_;
        ::Sleep(ms);
        return counter_ != before;
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto* worker = static_cast<CountingWorker*>(self);
        while (worker->stop_ == 0) ::InterlockedIncrement(&worker->counter_);
        return 0;
    }
    volatile LONG counter_ = 0;
    volatile LONG stop_ = 0;
    DWORD threadId_ = 0;
    Util::UniqueHandle thread_;
};

TEST(OtherThreads, FreezesEveryOtherThreadUntilResumed) {
    CountingWorker worker;
    toolkit::other_threads others;
    ASSERT_TRUE(others.open(::GetCurrentThreadId(), 0));
    EXPECT_GE(others.count(), 1u);
    others.suspend();
    others.suspend();  // once only: a single resume must let it go again
    EXPECT_FALSE(worker.MovesWithin(100));
    others.resume();
    EXPECT_TRUE(worker.MovesWithin(100));
}

TEST(OtherThreads, LeavesTheSkippedThreadsRunning) {
    CountingWorker worker;
    toolkit::other_threads others;
    ASSERT_TRUE(others.open(::GetCurrentThreadId(), worker.ThreadId()));
    others.suspend();
    EXPECT_TRUE(worker.MovesWithin(100));
}

TEST(OtherThreads, ResumesWhatItFrozeWhenItGoes) {
    CountingWorker worker;
    {
        toolkit::other_threads others;
        ASSERT_TRUE(others.open(::GetCurrentThreadId(), 0));
        others.suspend();
        EXPECT_FALSE(worker.MovesWithin(100));
    }
    EXPECT_TRUE(worker.MovesWithin(100));
}

TEST(ExceptionFilter, WithoutReporterContinuesTheSearchAndResumesThreads) {
    wchar_t path[MAX_PATH];
    ASSERT_FALSE(toolkit::locate_reporter(path)) << "a reporter beside the test would make this a real hand-off";
    CountingWorker worker;
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    record.NumberParameters = 2;
    CONTEXT context{};
    EXCEPTION_POINTERS pointers{&record, &context};
    EXPECT_EQ(exception_catcher::exception_filter(&pointers), EXCEPTION_CONTINUE_SEARCH);
    EXPECT_EQ(exception_catcher::exception_filter(nullptr), EXCEPTION_CONTINUE_SEARCH);
    EXPECT_TRUE(worker.MovesWithin(100));
}

TEST(ExceptionFilter, LeavesBreakpointsAndSingleStepsAlone) {
    for (DWORD code : {static_cast<DWORD>(EXCEPTION_BREAKPOINT), static_cast<DWORD>(EXCEPTION_SINGLE_STEP)}) {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = code;
        EXCEPTION_POINTERS pointers{&record, nullptr};
        EXPECT_EQ(exception_catcher::exception_filter(&pointers), EXCEPTION_CONTINUE_SEARCH);
    }
}

}  // namespace
