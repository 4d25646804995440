// Polite mode against a real nginx: the delay sampler reaches the server and
// sets the rate, a polite download arrives whole, and a server that cannot be
// found leaves the download unpaced rather than stuck.
#include <gtest/gtest.h>
#include <winsock2.h>  // before windows.h, as the downloader headers need it
#include <windows.h>

#include <atomic>

#include "download_test_helpers.h"
#include "net/polite_download.h"
#include "support/test_paths.h"
#include "util/util.h"

using nettest::NginxGetRanges;
using nettest::UniqueName;
using testsupport::PatternBytes;

namespace {

class PoliteDownloadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers_.ok()) << "the http_servers_start fixture did not run"; }

    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
};

TEST_F(PoliteDownloadTest, SamplesTheServersRoundTripAndSetsTheRate) {
    std::atomic<double> received{0};
    net::PoliteDownload polite(servers_.NginxUrl("anything"), [&received] { return received.load(); });
    ASSERT_TRUE(polite.sampling());
    const double start = polite.Rate();
    // Ten samples a second: within two seconds the rate has moved (up while
    // bytes keep arriving on an idle loopback line).
    for (int i = 0; i < 20 && polite.Rate() == start; ++i) {
        received = received + 64 * 1024;
        ::Sleep(100);
    }
    EXPECT_NE(polite.Rate(), start) << "no round-trip sample reached the controller";
}

TEST_F(PoliteDownloadTest, AServerThatCannotBeFoundLeavesTheDownloadUnpaced) {
    for (const char* url : {"not a url", "", "http:///package.exe", "ftp://"}) {
        net::PoliteDownload polite(url, [] { return 0.0; });
        EXPECT_FALSE(polite.sampling()) << url;
        polite.Pace(1 << 20);  // must not wait for a rate nobody sets
    }
}

TEST_F(PoliteDownloadTest, APoliteDownloadArrivesWholeInItsParts) {
    const std::string name = UniqueName("polite");
    const std::string served = PatternBytes(7000000, 3);
    ASSERT_TRUE(servers_.Publish(name, served));
    const std::wstring target = dir_ / L"polite.bin";
    HttpDownloader downloader;
    downloader.SetPolite(true);
    downloader.SetDownloadUrl(servers_.NginxUrl(name));
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    ASSERT_NE(downloader.StartDownload(HttpDownloader::kInCallingThread), nullptr);
    EXPECT_TRUE(testsupport::ReadFileBytes(target) == served);
    EXPECT_FALSE(testsupport::FileExists(target + L".dl"));
    EXPECT_EQ(NginxGetRanges(servers_, name).size(), 3u);
}

}  // namespace
