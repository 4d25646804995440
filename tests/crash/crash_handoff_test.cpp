// End to end: programs that really crash under the catcher, with the stub
// reporter standing in for tarselcrash.exe.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "crash/exception_context.h"
#include "crash_sample_run.h"
#include "util/util.h"

namespace {

using crash::thrower::exception_context;
using crashtest::CrashRun;
using crashtest::RunCrashSample;

// A process ended by an exception exits with the exception code. (Only a
// Linux parent sees it cut to 8 bits; these tests ask from inside Wine.)
long ExitCodeFor(std::uint32_t exceptionCode) { return static_cast<long>(exceptionCode); }

// 64 bits wide: the probe counter runs past 2^32 when a slow machine makes
// the crash take a few seconds (and unsigned long is 32 bits on Windows).
// A value the report does not hold fails the test: two missing counters
// must never compare as one frozen counter.
std::uint64_t Number(const std::map<std::string, std::string>& values, const char* key) {
    auto found = values.find(key);
    if (found == values.end()) {
        ADD_FAILURE() << "the report has no " << key;
        return 0;
    }
    return std::stoull(found->second);
}

std::string Text(const std::map<std::string, std::string>& values, const char* key) {
    auto found = values.find(key);
    return found == values.end() ? "<missing " + std::string(key) + ">" : found->second;
}

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

std::string WideFieldAt(const std::string& bytes, std::size_t offset, std::size_t units) {
    std::wstring text;
    for (std::size_t i = 0; i < units; ++i) {
        wchar_t c = At<wchar_t>(bytes, offset + 2 * i);
        if (c == L'\0') break;
        text += c;
    }
    return Util::WideToUtf8(text);
}

// Everything a reporter relies on, whatever the crash was.
void ExpectTrustworthyHandoff(const CrashRun& run, bool embed) {
    ASSERT_TRUE(run.reported) << "the reporter did not run";
    ASSERT_EQ(Text(run.report, "error"), "<missing error>");
    const auto& report = run.report;

    // The record describes the crashing process and thread.
    EXPECT_EQ(Number(report, "process_id"), Number(run.facts, "process_id"));
    EXPECT_EQ(Number(report, "thread_id"), Number(run.facts, "thread_id"));
    EXPECT_EQ(Text(report, "exe_path"), Text(run.facts, "exe_path"));
    // The command line as the process saw it, cut to the field's 4095 characters.
    const std::wstring commandLine = Util::Utf8ToWide(Text(run.facts, "command_line"));
    EXPECT_EQ(Text(report, "record_command_line"), Util::WideToUtf8(commandLine.substr(0, 4095)));

    // Channel name: thread@@process@@tick??file name.
    const std::string channel = std::to_string(Number(report, "thread_id")) + "@@" +
                                std::to_string(Number(report, "process_id")) + "@@" +
                                std::to_string(Number(report, "tick_count")) + "??TarselMainLauncher.exe";
    EXPECT_EQ(Text(report, "channel"), channel);

    // The reporter's command line, byte for byte; without /embed two spaces
    // stand before /channel.
    const std::string reporterPath = Util::WideToUtf8(run.folder) + "tarselcrash.exe";
    EXPECT_EQ(Text(report, "command_line"),
              "\"" + reporterPath + "\" " + (embed ? "/embed" : "") + " /channel \"" + channel + "\"");
    EXPECT_EQ(Number(report, "embed"), embed ? 1u : 0u);

    // The section: the record's size (Wine reports it rounded up to whole
    // pages), open to everyone, labelled low integrity.
    EXPECT_GE(Number(report, "section_size"), sizeof(exception_context));
    EXPECT_LE(Number(report, "section_size"), (sizeof(exception_context) + 4095) / 4096 * 4096);
    EXPECT_EQ(Text(report, "dacl"), "null");
    EXPECT_EQ(Text(report, "low_label"), "1");

    // The raw bytes agree with the fields at the fixed offsets.
    ASSERT_EQ(run.record.size(), sizeof(exception_context));
    EXPECT_EQ(At<std::uint32_t>(run.record, 0), Number(report, "tick_count"));
    EXPECT_EQ(WideFieldAt(run.record, 4, 260), Text(report, "exe_path"));
    EXPECT_EQ(WideFieldAt(run.record, 524, 4096), Text(report, "record_command_line"));
    EXPECT_EQ(At<std::uint32_t>(run.record, 8716), Number(report, "process_id"));
    EXPECT_EQ(At<std::uint32_t>(run.record, 8720), Number(report, "thread_id"));
    EXPECT_EQ(At<std::uint32_t>(run.record, 8724), Number(report, "exception_pointers"));
    EXPECT_EQ(At<std::uint32_t>(run.record, 8728), Number(report, "exception_code"));
    EXPECT_EQ(At<std::uint32_t>(run.record, 8732), Number(report, "exception_address"));
    EXPECT_EQ(WideFieldAt(run.record, 8736, 32768), Text(report, "description"));
    EXPECT_EQ(WideFieldAt(run.record, 74272, 8192), Text(report, "product"));
    EXPECT_EQ(WideFieldAt(run.record, 90656, 1280), Text(report, "version"));

    // The process stayed frozen while the reporter ran: its worker had been
    // counting before the crash and did not move while it was watched.
    ASSERT_EQ(Text(report, "probe"), "found");
    EXPECT_GE(Number(report, "counter_before"), 1000u);
    EXPECT_EQ(Number(report, "counter_after"), Number(report, "counter_before"));
}

struct FatalCase {
    const char* mode;
    std::uint32_t code;
    std::string description;  // whole text, or its start when `prefixOnly`
    bool prefixOnly;
};

TEST(CrashHandoff, FatalEventsReachTheReporterWithTheirDescription) {
    const FatalCase cases[] = {
        {"access-violation", 0xC0000005,
         "EXCEPTION_ACCESS_VIOLATION.Attempted to read the inaccessible data.Virtual address 0x00000000.", false},
        {"pure-call", 0xEEEEEEEE,
         "EXCEPTION_FORCE_THROW.?purecall??386@@void __cdecl "
         "crash::thrower::exception_catcher::purecall_handler(void)@@",
         true},
        {"invalid-parameter", 0xEEEEEEEE, "EXCEPTION_FORCE_THROW.?force crash??no file mark?", false},
        {"thread-access-violation", 0xC0000005,
         "EXCEPTION_ACCESS_VIOLATION.Attempted to read the inaccessible data.Virtual address 0x00000000.", false},
    };
    for (const FatalCase& c : cases) {
        SCOPED_TRACE(c.mode);
        const CrashRun run = RunCrashSample(L"crash_sample.exe", Util::AnsiToWide(c.mode), true);
        ExpectTrustworthyHandoff(run, false);
        EXPECT_EQ(Number(run.report, "exception_code"), c.code);
        EXPECT_NE(Number(run.report, "exception_address"), 0u);
        EXPECT_NE(Number(run.report, "exception_pointers"), 0u);
        const std::string description = Text(run.report, "description");
        if (c.prefixOnly) {
            EXPECT_EQ(description.substr(0, c.description.size()), c.description);
        } else {
            EXPECT_EQ(description, c.description);
        }
        EXPECT_EQ(Text(run.report, "product"), "tarselMainLauncher-windows");
        EXPECT_EQ(Text(run.report, "version"), "1.1.516.220");
        EXPECT_EQ(run.exitCode, ExitCodeFor(c.code));
    }
}

// Exceptions in code the system calls back: a window procedure (during
// CreateWindowEx, where 64-bit Windows and Wine swallow exceptions, and for
// a timer message), and a thread the downloader starts. C++ exceptions
// cannot pass the system's frames; on i686 the unwinder stops there. Each
// is reported, and the process ends with the exception's code instead of
// living on.
TEST(CrashHandoff, ExceptionsInCallbacksReachTheReporterAndEndTheProcess) {
    const std::string accessViolation =
        "EXCEPTION_ACCESS_VIOLATION.Attempted to write to an inaccessible address.Virtual address 0x00000000.";
    const std::string uncaught = "EXCEPTION_FORCE_THROW.?uncaught C++ exception: thrown in ";
    const FatalCase cases[] = {
        {"window-create-access-violation", 0xC0000005, accessViolation, false},
        {"window-timer-access-violation", 0xC0000005, accessViolation, false},
        {"window-create-throw", 0xEEEEEEEE, uncaught + "WM_CREATE??", true},
        {"window-timer-throw", 0xEEEEEEEE, uncaught + "WM_TIMER??", true},
        {"worker-throw", 0xEEEEEEEE, uncaught + "the download worker??", true},
    };
    for (const FatalCase& c : cases) {
        SCOPED_TRACE(c.mode);
        const CrashRun run = RunCrashSample(L"crash_sample.exe", Util::AnsiToWide(c.mode), true);
        ExpectTrustworthyHandoff(run, false);
        EXPECT_EQ(Number(run.report, "exception_code"), c.code);
        const std::string description = Text(run.report, "description");
        EXPECT_EQ(c.prefixOnly ? description.substr(0, c.description.size()) : description, c.description);
        EXPECT_EQ(run.exitCode, ExitCodeFor(c.code));
    }
}

TEST(CrashHandoff, CrashWhileAnotherThreadHoldsTheHeapLockReachesTheReporter) {
    // The holder keeps the lock nearly all the time, so a hand-off that
    // froze it holding the lock and then needed the heap would wait for ever
    // (the run would time out without a report).
    const CrashRun run = RunCrashSample(L"crash_sample.exe", L"heap-locked", true);
    ExpectTrustworthyHandoff(run, false);
    EXPECT_EQ(Number(run.report, "exception_code"), 0xC0000005u);
    EXPECT_EQ(run.exitCode, ExitCodeFor(0xC0000005));
}

TEST(CrashHandoff, CrashOnTheThreadThatHoldsTheHeapLockReachesTheReporter) {
    // A crash inside the heap: the hand-off thread cannot get the lock, so
    // the crashed thread finishes the hand-off itself.
    const CrashRun run = RunCrashSample(L"crash_sample.exe", L"heap-locked-by-crasher", true);
    ExpectTrustworthyHandoff(run, false);
    EXPECT_EQ(Number(run.report, "exception_code"), 0xC0000005u);
    EXPECT_EQ(run.exitCode, ExitCodeFor(0xC0000005));
}

// Every run must arrive, not most: where the overflow lands against the
// page the system keeps in reserve differs from run to run.
void ExpectEveryStackOverflowReported(const wchar_t* mode) {
    constexpr int kRuns = 10;
    for (int i = 0; i < kRuns; ++i) {
        SCOPED_TRACE("run " + std::to_string(i));
        const CrashRun run = RunCrashSample(L"crash_sample.exe", mode, true);
        ExpectTrustworthyHandoff(run, false);
        EXPECT_EQ(Number(run.report, "exception_code"), 0xC00000FDu);
        EXPECT_EQ(Text(run.report, "description"), "EXCEPTION_STACK_OVERFLOW.");
        EXPECT_EQ(run.exitCode, ExitCodeFor(0xC00000FD));
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(CrashHandoff, StackOverflowInLargeFramesReachesTheReporterEveryTime) {
    ExpectEveryStackOverflowReported(L"stack-overflow");
}

TEST(CrashHandoff, StackOverflowInSmallFramesReachesTheReporterEveryTime) {
    // 64-bit Wine ends such a thread before any unhandled-exception filter
    // runs; the catcher must get there first.
    ExpectEveryStackOverflowReported(L"stack-overflow-small-frames");
}

TEST(CrashHandoff, CatcherThreadNeverKeepsTheProcessAlive) {
    const struct {
        const char* mode;
        long exitCode;
    } cases[] = {
        {"exit", 0},
        {"main-thread-exit", 45},  // the main thread ends alone, by ExitThread
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const CrashRun run = RunCrashSample(L"crash_sample.exe", Util::AnsiToWide(c.mode), true);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_FALSE(run.reported);
        EXPECT_NE(Text(run.facts, "process_id"), "<missing process_id>") << "the sample did not start";
    }
}

TEST(CrashHandoff, PureCallNamesTheHandlersSourceFile) {
    const CrashRun run = RunCrashSample(L"crash_sample.exe", L"pure-call", true);
    ASSERT_TRUE(run.reported);
    const std::string description = Text(run.report, "description");
    const std::string ending = "exception_catcher.cpp?";
    ASSERT_GE(description.size(), ending.size());
    EXPECT_EQ(description.substr(description.size() - ending.size()), ending);
}

TEST(CrashHandoff, LongCommandLineIsCutTo4095Characters) {
    const CrashRun run = RunCrashSample(L"crash_sample.exe", L"access-violation " + std::wstring(5000, L'x'), true);
    ExpectTrustworthyHandoff(run, false);
    const std::wstring full = Util::Utf8ToWide(Text(run.facts, "command_line"));
    ASSERT_GT(full.size(), 5000u);
    EXPECT_EQ(Util::Utf8ToWide(Text(run.report, "record_command_line")), full.substr(0, 4095));
    EXPECT_EQ(At<wchar_t>(run.record, 524 + 2 * 4094), L'x');
    EXPECT_EQ(At<wchar_t>(run.record, 524 + 2 * 4095), L'\0');
}

TEST(CrashHandoff, EmbedFlagAsksForAnEmbeddedReporter) {
    const CrashRun run = RunCrashSample(L"crash_sample_embed.exe", L"access-violation", true);
    ExpectTrustworthyHandoff(run, true);
    EXPECT_EQ(Text(run.report, "product"), "tarselCrashSample-embed");
    EXPECT_EQ(Text(run.report, "version"), "9.8.7.6");
}

TEST(CrashHandoff, ExceptionWithoutRecordIsStillReported) {
    const CrashRun run = RunCrashSample(L"crash_sample.exe", L"null-pointers", true);
    ExpectTrustworthyHandoff(run, false);
    EXPECT_EQ(Number(run.report, "exception_pointers"), 0u);
    EXPECT_EQ(Number(run.report, "exception_code"), 0u);
    EXPECT_EQ(Number(run.report, "exception_address"), 0u);
    EXPECT_EQ(Text(run.report, "description"), "");
    EXPECT_EQ(run.exitCode, 40 + 1) << "the filter reports a finished hand-off";
}

TEST(CrashHandoff, BreakpointsAreLeftToTheSystem) {
    // A real breakpoint: no reporter, and the system ends the process.
    const CrashRun real = RunCrashSample(L"crash_sample.exe", L"breakpoint", true);
    EXPECT_FALSE(real.reported);
    EXPECT_EQ(real.exitCode, ExitCodeFor(0x80000003));

    // The filter itself, given breakpoint and single-step records.
    const CrashRun direct = RunCrashSample(L"crash_sample.exe", L"filter-breakpoint", true);
    EXPECT_EQ(direct.exitCode, 0);
    EXPECT_FALSE(direct.reported);
    EXPECT_EQ(Text(direct.facts, "filter_result_2147483651"), "0");
    EXPECT_EQ(Text(direct.facts, "filter_result_2147483652"), "0");
    EXPECT_EQ(Text(direct.facts, "counter_moved_after"), "1") << "a breakpoint must not freeze the process";
}

TEST(CrashHandoff, MissingReporterFallsBackToDefaultHandling) {
    const struct {
        const char* mode;
        long exitCode;
    } cases[] = {
        {"access-violation", ExitCodeFor(0xC0000005)},
        {"pure-call", ExitCodeFor(0xEEEEEEEE)},
        {"null-pointers", 40},  // the filter's own answer: continue the search
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const CrashRun run = RunCrashSample(L"crash_sample.exe", Util::AnsiToWide(c.mode), false);
        EXPECT_FALSE(run.reported);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(Text(run.facts, "process_id"), "<missing process_id>") << "the sample did not start";
    }
}

TEST(CrashHandoff, StackOverflowWithoutReporterStillEndsTheProcess) {
    // Nothing counts, so only the catcher's thread could keep the process
    // alive once the system has ended the overflowing main thread. The exit
    // code is the system's affair (64-bit Wine: 0); a hung run gives -2.
    const CrashRun run = RunCrashSample(L"crash_sample.exe", L"stack-overflow-small-frames --no-counter", false);
    EXPECT_FALSE(run.reported);
    EXPECT_NE(run.exitCode, -2) << "the process did not end";
    EXPECT_NE(run.exitCode, -1) << "the sample did not start";
}

TEST(CrashHandoff, FrozenCounterCheckSeesAProcessThatKeepsRunning) {
    // The counter runs in a second process the crash cannot freeze, so the
    // reporter must see it move: proof that the check above can fail.
    const CrashRun run = RunCrashSample(L"crash_sample.exe", L"access-violation --counter-in-child", true);
    ASSERT_TRUE(run.reported);
    ASSERT_EQ(Text(run.report, "probe"), "found");
    EXPECT_GT(Number(run.report, "counter_after"), Number(run.report, "counter_before"));
}

}  // namespace
