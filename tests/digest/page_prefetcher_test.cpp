// The helper that faults a view's pages in ahead of its consumer: only for
// views worth a thread, and never still reading once the view is gone.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <set>

#include "digest/mapped_file_reader.h"
#include "digest/page_prefetcher.h"
#include "support/temp_dir.h"
#include "util/unique_handle.h"

using testsupport::TempDir;

namespace {

std::set<DWORD> ThreadsOfThisProcess() {
    std::set<DWORD> threads;
    // A snapshot, like a file, is INVALID_HANDLE_VALUE on failure.
    Util::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return threads;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) threads.insert(entry.th32ThreadID);
    }
    return threads;
}

// Waits until every thread of this process but `before` has ended.
bool OnlyTheseThreadsRemain(const std::set<DWORD>& before, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        bool extra = false;
        for (DWORD id : ThreadsOfThisProcess()) extra = extra || before.count(id) == 0;
        if (!extra) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(10);
    }
}

TEST(PagePrefetcher, RunsOnlyForViewsWorthAThread) {
    const std::size_t size = PagePrefetcher::kMinimumBytes;
    void* region = ::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(region, nullptr);
    {
        PagePrefetcher small(region, size - 1);
        EXPECT_FALSE(small.running());
        PagePrefetcher none(nullptr, size);
        EXPECT_FALSE(none.running());
        PagePrefetcher enough(region, size);
        EXPECT_TRUE(enough.running());
    }
    EXPECT_TRUE(::VirtualFree(region, 0, MEM_RELEASE));
}

TEST(PagePrefetcher, ConsumersThatReturnAtOnceNeverLeaveItOnAnUnmappedView) {
    // A sparse file of eight mapping windows; the consumer does nothing, so
    // every window is unmapped right after its helper starts. A helper not
    // stopped first would read an unmapped page and end this process.
    TempDir dir;
    const std::wstring path = dir / L"sparse.bin";
    {
        Util::UniqueFile file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER end;
        end.QuadPart = 512ll * 1024 * 1024;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }
    const std::set<DWORD> before = ThreadsOfThisProcess();
    ASSERT_FALSE(before.empty());
    for (int round = 0; round < 4; ++round) {
        int windows = 0;
        std::size_t bytes = 0;
        EXPECT_TRUE(ReadMappedFile(path, [&](const void*, std::size_t size) {
            ++windows;
            bytes += size;
        }));
        EXPECT_EQ(windows, 8);
        EXPECT_EQ(bytes, 512u * 1024 * 1024);
    }
    // A helper left behind either faults before it ends or never ends.
    EXPECT_TRUE(OnlyTheseThreadsRemain(before, 10000)) << "a prefetching helper still runs";
}

}  // namespace
