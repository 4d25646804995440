// Servers that accept a connection and then send nothing more: at no step
// does a download wait for them without bound. The size probe and the
// parts give up under the stall rule (under one byte a second for five
// seconds), are repeated as often as the retry count allows, and then the
// download fails leaving the target as it was. The fault server holds these
// connections open far longer than that, so a transfer without the rule
// would end only when the server lets go, with another error.
#include <gtest/gtest.h>
#include <winsock2.h>  // before windows.h, as the downloader headers need it
#include <windows.h>

#include <vector>

#include "download_test_helpers.h"
#include "util/util.h"

using nettest::FaultRanges;
using nettest::UniqueName;
using testsupport::PatternBytes;

namespace {

struct SilentCase {
    const char* fault;
    size_t size;
    // The Range headers the fault server saw, sorted; with one repeat
    // allowed, every transfer that stalls is asked for twice.
    std::vector<std::string> heads;
    size_t getCount;
    std::vector<std::string> gets;  // checked when not empty
    bool resultReported;            // the probe passed: a result callback is made
};

void PrintTo(const SilentCase& c, std::ostream* out) { *out << c.fault << " " << c.size; }

class SilentServer : public ::testing::TestWithParam<SilentCase> {
protected:
    void SetUp() override { ASSERT_TRUE(servers_.ok()) << "the http_servers_start fixture did not run"; }

    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
};

const char kPrevious[] = "the previous installer";

TEST_P(SilentServer, DownloadGivesUpAfterTheStallRuleAndItsRepeats) {
    const SilentCase& c = GetParam();
    std::string name = UniqueName(std::string("silent-") + c.fault);
    ASSERT_TRUE(servers_.Publish(name, PatternBytes(c.size, 50)));
    std::wstring target = dir_ / Util::AnsiToWide(name);
    ASSERT_TRUE(testsupport::WriteFileBytes(target, kPrevious));

    HttpDownloader downloader;
    downloader.SetRetryTimes(1);
    downloader.SetDownloadUrl(servers_.FaultUrl(c.fault, name));
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    int results = 0;
    bool reportedSuccess = true;
    downloader.SetResultCallback([&](int, bool success, const std::string&) {
        ++results;
        reportedSuccess = success;
    });
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    ASSERT_NE(handle, nullptr);

    std::string error;
    EXPECT_TRUE(downloader.GetErrorString(handle, &error));
    EXPECT_EQ(error, "Timeout was reached");
    EXPECT_EQ(results, c.resultReported ? 1 : 0);
    if (c.resultReported) {
        EXPECT_FALSE(reportedSuccess);
    }
    EXPECT_EQ(testsupport::ReadFileBytes(target), kPrevious);
    EXPECT_FALSE(testsupport::FileExists(target + L".dl"));
    EXPECT_EQ(FaultRanges(servers_, name, "HEAD"), c.heads);
    std::vector<std::string> gets = FaultRanges(servers_, name, "GET");
    EXPECT_EQ(gets.size(), c.getCount);
    if (!c.gets.empty()) {
        EXPECT_EQ(gets, c.gets);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SilentServer,
    ::testing::Values(
        // Accepts, reads the request, answers nothing: the probe stalls.
        SilentCase{"silent", 1048576, {"2-", "2-"}, 0, {}, false},
        // Sends its status line, then nothing: the probe stalls all the same.
        SilentCase{"statusonly", 1048576, {"2-", "2-"}, 0, {}, false},
        // Answers the probe; the body stops after a quarter of it. The
        // repeat continues where the bytes stopped and stalls again.
        SilentCase{"stallbody", 1048576, {"2-"}, 2, {"-", "262144-"}, true},
        // The same for each of five parallel parts.
        SilentCase{"stallbody", 12582912, {"2-"}, 10, {}, true}),
    [](const ::testing::TestParamInfo<SilentCase>& info) {
        return std::string(info.param.fault) + (info.param.size > 2097152 ? "_parts" : "_whole");
    });

// A listening socket that never accepts, with its short queue filled by
// connections of our own: a further connection is never completed (or, if
// the system completes it, never answered).
class FullListenQueue {
public:
    FullListenQueue() {
        WSADATA data;
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (listener_ == INVALID_SOCKET || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 1) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < 8; ++i) {
            SOCKET filler = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            if (filler == INVALID_SOCKET) continue;
            u_long nonBlocking = 1;
            ::ioctlsocket(filler, FIONBIO, &nonBlocking);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);
            fillers_.push_back(filler);
        }
    }
    ~FullListenQueue() {
        for (SOCKET filler : fillers_) ::closesocket(filler);
        if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
        if (started_) ::WSACleanup();
    }
    int port() const { return port_; }

private:
    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    std::vector<SOCKET> fillers_;
    int port_ = 0;
};

// libcurl's own connect time-out is five minutes, longer than this test may
// run: only the download's connect time-out (or its stall rule) ends it.
TEST(UnansweredConnection, DownloadGivesUpOnAConnectionThatIsNeverAccepted) {
    FullListenQueue queue;
    ASSERT_NE(queue.port(), 0);
    testsupport::TempDir dir;
    std::wstring target = dir / L"never.bin";
    HttpDownloader downloader;
    downloader.SetRetryTimes(1);
    downloader.SetDownloadUrl("http://127.0.0.1:" + std::to_string(queue.port()) + "/never.bin");
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    ASSERT_NE(handle, nullptr);
    std::string error;
    EXPECT_TRUE(downloader.GetErrorString(handle, &error));
    EXPECT_EQ(error, "Timeout was reached");
    EXPECT_FALSE(testsupport::FileExists(target));
    EXPECT_FALSE(testsupport::FileExists(target + L".dl"));
}

}  // namespace
