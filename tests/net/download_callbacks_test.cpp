// What a download reports while it runs and when it ends.
#include <gtest/gtest.h>

#include <mutex>

#include "download_test_helpers.h"
#include "util/util.h"

using nettest::UniqueName;
using testsupport::PatternBytes;

namespace {

class DownloadReports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers_.ok()) << "the http_servers_start fixture did not run"; }

    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
};

struct Reports {
    std::mutex mutex;
    double lastTotal = 0;
    double lastDownloaded = 0;
    void* userData = nullptr;
    int calls = 0;
    std::vector<std::pair<int, bool>> results;
};

TEST_F(DownloadReports, ProgressCoversTheWholeFileAndResultsNameTheirDownload) {
    std::string name = UniqueName("progress");
    std::string served = PatternBytes(12582912, 70);  // five parts
    ASSERT_TRUE(servers_.Publish(name, served));
    Reports reports;
    int marker = 0;
    auto progress = [&reports](double total, double downloaded, void* user) {
        std::lock_guard<std::mutex> lock(reports.mutex);
        reports.lastTotal = total;
        reports.lastDownloaded = downloaded;
        reports.userData = user;
        ++reports.calls;
        return 0;
    };
    auto result = [&reports](int id, bool ok, const std::string&) { reports.results.emplace_back(id, ok); };

    HttpDownloader first;
    HttpDownloader second;
    for (HttpDownloader* downloader : {&first, &second}) {
        downloader->SetUserData(&marker);
        downloader->SetProgressCallback(progress);
        downloader->SetResultCallback(result);
        downloader->SetDownloadUrl(servers_.NginxUrl(name));
    }
    first.DownloadFile(Util::WideToAnsi(dir_ / L"first.bin"), 5);
    second.DownloadFile(Util::WideToAnsi(dir_ / L"second.bin"), 5);
    HttpDownloader::Handle handle = first.StartDownload(HttpDownloader::kInCallingThread);
    EXPECT_GT(reports.calls, 0);
    EXPECT_EQ(reports.lastTotal, static_cast<double>(served.size() - 2));  // the probe skips two bytes
    EXPECT_EQ(reports.lastDownloaded, static_cast<double>(served.size()));
    EXPECT_EQ(reports.userData, &marker);
    std::string headers;
    EXPECT_TRUE(first.GetReceiveHeader(handle, &headers));
    EXPECT_NE(headers.find("Content-Range: bytes 2-12582911/12582912"), std::string::npos) << headers;

    second.StartDownload(HttpDownloader::kInCallingThread);
    ASSERT_EQ(reports.results.size(), 2u);
    EXPECT_EQ(reports.results[1].first, reports.results[0].first + 1);  // identifiers follow construction
    EXPECT_TRUE(reports.results[0].second);
    EXPECT_TRUE(reports.results[1].second);
}

TEST_F(DownloadReports, ProgressCallbackCanAbortTheDownload) {
    std::string name = UniqueName("abort");
    ASSERT_TRUE(servers_.Publish(name, PatternBytes(3000000, 71)));
    std::wstring target = dir_ / L"abort.bin";
    HttpDownloader downloader;
    bool succeeded = true;
    downloader.SetProgressCallback([](double, double downloaded, void*) { return downloaded > 0 ? 1 : 0; });
    downloader.SetResultCallback([&succeeded](int, bool ok, const std::string&) { succeeded = ok; });
    downloader.SetDownloadUrl(servers_.NginxUrl(name));
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    EXPECT_FALSE(succeeded);
    std::string error;
    EXPECT_TRUE(downloader.GetErrorString(handle, &error));
    EXPECT_FALSE(testsupport::FileExists(target));
    EXPECT_FALSE(testsupport::FileExists(target + L".dl"));
}

// Parts look the host name up at the same time through the shared DNS cache.
TEST_F(DownloadReports, PartsShareOneHostNameCache) {
    std::string name = UniqueName("by-name");
    std::string served = PatternBytes(12582912, 72);
    ASSERT_TRUE(servers_.Publish(name, served));
    std::string url = servers_.NginxUrl(name);
    url.replace(url.find("127.0.0.1"), 9, "localhost");
    for (int round = 0; round < 3; ++round) {
        std::wstring target = dir_ / (L"by-name" + std::to_wstring(round) + L".bin");
        nettest::FetchOutcome got = nettest::Fetch(url, target, 5);
        EXPECT_EQ(got.partLimit, 5);
        EXPECT_TRUE(got.bytes == served) << round;
    }
}

TEST(DownloadHandles, InvalidHandlesAreRefused) {
    HttpDownloader downloader;
    int code = 0;
    std::string text;
    int unrelated = 0;
    for (HttpDownloader::Handle handle :
         {static_cast<void*>(nullptr), reinterpret_cast<void*>(~static_cast<uintptr_t>(0)), static_cast<void*>(&unrelated)}) {
        EXPECT_FALSE(downloader.CancelDownload(handle));
        EXPECT_FALSE(downloader.GetHttpCode(handle, &code));
        EXPECT_FALSE(downloader.GetErrorString(handle, &text));
        EXPECT_FALSE(downloader.GetReceiveHeader(handle, &text));
        EXPECT_EQ(downloader.GetUserData(handle), nullptr);
        downloader.CloseDownload(handle);  // ignored
    }
    EXPECT_FALSE(downloader.GetHttpCode(&downloader, nullptr));
    EXPECT_TRUE(downloader.GetHttpCode(&downloader, &code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(downloader.GetErrorString(&downloader, &text));  // nothing went wrong yet
}

}  // namespace
