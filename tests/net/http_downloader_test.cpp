// Downloads from a real nginx on a loopback port: how files are split, what
// is left on disk, and asynchronous downloads.
#include <gtest/gtest.h>
#include <winsock2.h>  // before windows.h, as the downloader headers need it
#include <windows.h>

#include <atomic>

#include "download_test_helpers.h"
#include "net/download_registry.h"
#include "util/unique_handle.h"
#include "util/util.h"

using nettest::Fetch;
using nettest::FetchOutcome;
using nettest::NginxGetRanges;
using nettest::UniqueName;
using testsupport::PatternBytes;

namespace {

class NginxDownload : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers_.ok()) << "the http_servers_start fixture did not run"; }

    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
};

TEST_F(NginxDownload, SmallFileComesInOneTransferWithoutRange) {
    std::string name = UniqueName("one-mib");
    std::string served = PatternBytes(1048576, 1);
    ASSERT_TRUE(servers_.Publish(name, served));
    FetchOutcome got = Fetch(servers_.NginxUrl(name), dir_ / L"one.bin", 5);
    EXPECT_NE(got.handle, nullptr);
    EXPECT_EQ(got.partLimit, 1);
    EXPECT_EQ(got.httpCode, 200);
    EXPECT_FALSE(got.sideFileExists);
    EXPECT_TRUE(got.bytes == served);
    EXPECT_EQ(NginxGetRanges(servers_, name), std::vector<std::string>{"-"});
}

// Each file is fetched in the expected number of parallel ranges and every
// byte arrives at its own offset.
TEST_F(NginxDownload, LargeFilesAreSplitIntoParallelRanges) {
    struct Case {
        const char* base;
        size_t size;
        int limit;
        int parts;
        std::vector<std::string> ranges;  // empty: only the count is checked
    } cases[] = {
        {"thirty-five", 31457280, 5, 5, {}},
        {"thirty-four", 31457280, 4, 4, {}},
        {"seven-million", 7000000, 5, 3, {}},
        {"six-mib", 6291456, 5, 2, {"0-3145726", "3145727-"}},
        {"twenty-plus-two", 20971522, 4, 4, {"0-5242879", "10485760-15728639", "15728640-", "5242880-10485759"}},
    };
    uint32_t seed = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        std::string name = UniqueName(c.base);
        std::string served = PatternBytes(c.size, ++seed);
        ASSERT_TRUE(servers_.Publish(name, served));
        std::wstring target = dir_ / Util::AnsiToWide(name);
        FetchOutcome got = Fetch(servers_.NginxUrl(name), target, c.limit);
        EXPECT_EQ(got.partLimit, c.parts);
        EXPECT_EQ(got.httpCode, 206);
        EXPECT_FALSE(got.sideFileExists);
        EXPECT_EQ(got.bytes.size(), served.size());
        EXPECT_TRUE(got.bytes == served);
        std::vector<std::string> ranges = NginxGetRanges(servers_, name);
        EXPECT_EQ(ranges.size(), static_cast<size_t>(c.parts));
        for (const std::string& range : ranges) EXPECT_NE(range, "-");
        if (!c.ranges.empty()) {
            EXPECT_EQ(ranges, c.ranges);
        }
        ::DeleteFileW(target.c_str());
        ::DeleteFileW(servers_.DocrootPath(name).c_str());
    }
}

TEST_F(NginxDownload, NotFoundLeavesAnExistingTargetUntouched) {
    std::wstring target = dir_ / L"keep.exe";
    ASSERT_TRUE(testsupport::WriteFileBytes(target, "the previous installer"));
    FetchOutcome got = Fetch(servers_.NginxUrl(UniqueName("missing")), target, 5);
    EXPECT_NE(got.handle, nullptr);
    EXPECT_EQ(got.httpCode, 404);
    EXPECT_FALSE(got.sideFileExists);
    EXPECT_EQ(got.bytes, "the previous installer");
}

TEST_F(NginxDownload, LeftoverSideFileIsReplacedFromTheFirstByte) {
    std::string name = UniqueName("leftover");
    std::string served = PatternBytes(1500000, 3);
    ASSERT_TRUE(servers_.Publish(name, served));
    std::wstring target = dir_ / L"leftover.bin";
    // An interrupted earlier run left a longer side file of other bytes.
    ASSERT_TRUE(testsupport::WriteFileBytes(target + L".dl", std::string(3000000, '\xAB')));
    FetchOutcome got = Fetch(servers_.NginxUrl(name), target, 5);
    EXPECT_FALSE(got.sideFileExists);
    EXPECT_EQ(got.bytes.size(), served.size());
    EXPECT_TRUE(got.bytes == served);
    EXPECT_EQ(NginxGetRanges(servers_, name), std::vector<std::string>{"-"});
}

TEST_F(NginxDownload, EmptyUrlTouchesNothing) {
    std::wstring target = dir_ / L"none.bin";
    FetchOutcome got = Fetch("", target, 5);
    EXPECT_NE(got.handle, nullptr);  // a synchronous start always answers with a handle
    EXPECT_FALSE(got.targetExists);
    EXPECT_FALSE(got.sideFileExists);
    EXPECT_EQ(got.error, "");
}

TEST_F(NginxDownload, EmptyTargetIsRefusedBeforeAnyRequest) {
    std::string name = UniqueName("no-target");
    ASSERT_TRUE(servers_.Publish(name, PatternBytes(1000, 8)));
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ::SetCurrentDirectoryW(dir_.path().c_str());
    FetchOutcome got = Fetch(servers_.NginxUrl(name), L"", 5);
    ::SetCurrentDirectoryW(current);
    EXPECT_FALSE(testsupport::FileExists(dir_ / L".dl"));
    EXPECT_EQ(got.error, "no target file");
    EXPECT_EQ(servers_.NginxLog(name), "");
}

// Waits for the result callback of an asynchronous download.
struct ResultWaiter {
    Util::UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> success{false};
    std::atomic<int> calls{0};
    DownloadResultCallback Callback() {
        return [this](int, bool ok, const std::string&) {
            success = ok;
            ++calls;
            ::SetEvent(done.get());
        };
    }
    bool Wait(DWORD ms) { return ::WaitForSingleObject(done.get(), ms) == WAIT_OBJECT_0; }
};

size_t RegistrySize() {
    HttpLockGuard guard(DownloadRegistry::Lock());
    return DownloadRegistry::Count();
}

bool WaitForEmptyRegistry() {
    for (int i = 0; i < 300 && RegistrySize() != 0; ++i) ::Sleep(10);
    return RegistrySize() == 0;
}

TEST_F(NginxDownload, CancelMidTransferFailsWithoutTarget) {
    std::string name = UniqueName("cancel");
    ASSERT_TRUE(servers_.Publish(name, PatternBytes(4194304, 4)));
    std::wstring target = dir_ / L"cancel.bin";
    HttpDownloader downloader;
    ResultWaiter result;
    std::atomic<double> seen{0};
    downloader.SetResultCallback(result.Callback());
    downloader.SetProgressCallback([&seen](double, double downloaded, void*) {
        seen = downloaded;
        return 0;
    });
    downloader.SetDownloadUrl(servers_.NginxUrl("slow/" + name));  // 256 KiB/s
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kOnWorkerThread);
    ASSERT_NE(handle, nullptr);
    for (int i = 0; i < 500 && seen == 0; ++i) ::Sleep(10);
    EXPECT_GT(seen, 0.0);  // the transfer is under way
    EXPECT_TRUE(downloader.CancelDownload(handle));
    ASSERT_TRUE(result.Wait(15000));
    EXPECT_FALSE(result.success);
    EXPECT_FALSE(testsupport::FileExists(target));
    EXPECT_FALSE(testsupport::FileExists(target + L".dl"));
    downloader.CloseDownload(handle);
    EXPECT_TRUE(WaitForEmptyRegistry());
}

TEST_F(NginxDownload, WorkerDownloadIsTrackedUntilClosed) {
    std::string name = UniqueName("worker");
    std::string served = PatternBytes(3000000, 5);
    ASSERT_TRUE(servers_.Publish(name, served));
    std::wstring target = dir_ / L"worker.bin";
    int userValue = 7;
    ResultWaiter result;
    HttpDownloader::Handle handle = nullptr;
    {
        HttpDownloader downloader;
        downloader.SetResultCallback(result.Callback());
        downloader.SetUserData(&userValue);
        downloader.SetDownloadUrl(servers_.NginxUrl(name));
        downloader.DownloadFile(Util::WideToAnsi(target), 5);
        handle = downloader.StartDownload(HttpDownloader::kOnWorkerThread);
        ASSERT_NE(handle, nullptr);
        EXPECT_NE(handle, static_cast<void*>(&downloader));
        EXPECT_EQ(downloader.StartDownload(HttpDownloader::kInCallingThread), nullptr);  // busy
        EXPECT_EQ(RegistrySize(), 1u);
        EXPECT_EQ(downloader.GetUserData(handle), &userValue);
    }
    // The entry keeps the download alive after its downloader is gone.
    ASSERT_TRUE(result.Wait(30000));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(result.calls, 1);
    HttpDownloader other;
    int code = 0;
    EXPECT_TRUE(other.GetHttpCode(handle, &code));
    EXPECT_EQ(code, 200);
    other.CloseDownload(handle);
    EXPECT_TRUE(WaitForEmptyRegistry());
    EXPECT_FALSE(other.GetHttpCode(handle, &code));  // the handle is gone with its entry
    EXPECT_TRUE(testsupport::ReadFileBytes(target) == served);
}

TEST_F(NginxDownload, ClosingARunningWorkerRemovesItsEntryWhenItEnds) {
    std::string name = UniqueName("close-running");
    std::string served = PatternBytes(1048576, 6);
    ASSERT_TRUE(servers_.Publish(name, served));
    std::wstring target = dir_ / L"running.bin";
    ResultWaiter result;
    HttpDownloader downloader;
    downloader.SetResultCallback(result.Callback());
    downloader.SetDownloadUrl(servers_.NginxUrl("slow/" + name));
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kOnWorkerThread);
    ASSERT_NE(handle, nullptr);
    downloader.CloseDownload(handle);  // still running: it goes on to the end
    EXPECT_EQ(RegistrySize(), 1u);
    ASSERT_TRUE(result.Wait(30000));
    EXPECT_TRUE(WaitForEmptyRegistry());
    EXPECT_TRUE(result.success);
    EXPECT_TRUE(testsupport::ReadFileBytes(target) == served);
}

TEST_F(NginxDownload, ClosingAFinishedSynchronousDownloadOnlyCancelsUntilTheNextStart) {
    std::string name = UniqueName("reuse");
    std::string served = PatternBytes(100000, 7);
    ASSERT_TRUE(servers_.Publish(name, served));
    std::wstring target = dir_ / L"reuse.bin";
    HttpDownloader downloader;
    downloader.SetDownloadUrl(servers_.NginxUrl(name));
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    ASSERT_EQ(handle, static_cast<void*>(&downloader));
    downloader.CloseDownload(handle);
    ::DeleteFileW(target.c_str());
    EXPECT_EQ(downloader.StartDownload(HttpDownloader::kInCallingThread), handle);
    EXPECT_TRUE(testsupport::ReadFileBytes(target) == served);
    EXPECT_EQ(downloader.StartDownload(2), nullptr);
}

}  // namespace
