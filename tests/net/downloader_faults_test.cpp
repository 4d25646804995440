// Servers that misbehave: the download either delivers the exact file or
// fails leaving an existing target as it was and no side file behind.
#include <gtest/gtest.h>

#include "download_test_helpers.h"
#include "util/util.h"

using nettest::FaultGetRanges;
using nettest::Fetch;
using nettest::FetchOutcome;
using nettest::UniqueName;
using testsupport::PatternBytes;

namespace {

class FaultyServer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers_.ok()) << "the http_servers_start fixture did not run"; }

    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
};

const char kPrevious[] = "the previous installer";

TEST_F(FaultyServer, BrokenAnswersFailWithoutTouchingTheTarget) {
    struct Case {
        const char* path;   // fault path, or redirect count
        size_t size;
        bool sideFileMade;  // the probe passed, so a side file existed for a while
    } cases[] = {
        {"nolength", 3000000, false},      // no Content-Length: nothing downloaded
        {"404range", 12582912, true},      // one part answered 404
        {"drop", 12582912, true},          // connections dropped mid-part
        {"fullbody", 12582912, true},      // 200 with the whole body for every range
        {"badrange", 12582912, true},      // 206 starting at the wrong byte
        {"shortrange", 12582912, true},    // 206 with fewer bytes than asked
        {"huge", 16, false},               // 3 GiB claimed: refused before any file
        {"manyheaders", 16, false},        // header lines without end
        {"redirect/6", 1048576, false},    // more than five redirects
    };
    uint32_t seed = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string name = UniqueName(std::string("fault-") + std::to_string(seed));
        ASSERT_TRUE(servers_.Publish(name, PatternBytes(c.size, ++seed)));
        std::wstring target = dir_ / Util::AnsiToWide(name);
        ASSERT_TRUE(testsupport::WriteFileBytes(target, kPrevious));
        FetchOutcome got = Fetch(servers_.FaultUrl(c.path, name), target, 5);
        EXPECT_NE(got.handle, nullptr);
        EXPECT_EQ(got.bytes, kPrevious);
        EXPECT_FALSE(got.sideFileExists);
        EXPECT_NE(got.error, "");
        bool fetchedBody = !FaultGetRanges(servers_, name).empty();
        EXPECT_EQ(fetchedBody, c.sideFileMade);
    }
}

TEST_F(FaultyServer, FiveRedirectsAreFollowed) {
    std::string name = UniqueName("redirected");
    std::string served = PatternBytes(3000000, 20);
    ASSERT_TRUE(servers_.Publish(name, served));
    FetchOutcome got = Fetch(servers_.FaultUrl("redirect/5", name), dir_ / L"redirected.bin", 5);
    EXPECT_TRUE(got.bytes == served);
}

TEST_F(FaultyServer, ServerWithoutRangesGivesOneWholeTransfer) {
    std::string name = UniqueName("norange");
    std::string served = PatternBytes(12582912, 21);  // 12 MiB would be 5 parts
    ASSERT_TRUE(servers_.Publish(name, served));
    FetchOutcome got = Fetch(servers_.FaultUrl("norange", name), dir_ / L"norange.bin", 5);
    EXPECT_EQ(got.httpCode, 200);
    EXPECT_EQ(got.bytes.size(), served.size());
    EXPECT_TRUE(got.bytes == served);
    EXPECT_EQ(FaultGetRanges(servers_, name), std::vector<std::string>{"-"});
}

TEST_F(FaultyServer, HugeFileIsRefusedWithAClearMessage) {
    std::string name = UniqueName("huge");
    ASSERT_TRUE(servers_.Publish(name, "x"));
    std::wstring target = dir_ / L"huge.bin";
    FetchOutcome got = Fetch(servers_.FaultUrl("huge", name), target, 5);
    EXPECT_FALSE(got.targetExists);
    EXPECT_FALSE(got.sideFileExists);
    EXPECT_NE(got.error.find("2 GiB"), std::string::npos) << got.error;
}

// A part that stalls (under 1 byte/s for 5 s) times out and is performed
// again from the byte where it stopped, so each byte lands once at its own
// offset. Each case takes about five seconds.
TEST_F(FaultyServer, StalledPartResumesWhereItStopped) {
    struct Case {
        const char* base;
        const char* fault;
        size_t size;
        int parts;
    } cases[] = {
        {"stall-whole", "stall", 1048576, 1},           // a single transfer continues with a range
        {"stall-parts", "stall", 12582912, 5},          // one of five parts continues its range
        {"stall-norange", "stallnorange", 1048576, 1},  // without ranges it starts over
    };
    uint32_t seed = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        std::string name = UniqueName(c.base);
        std::string served = PatternBytes(c.size, ++seed);
        ASSERT_TRUE(servers_.Publish(name, served));
        FetchOutcome got = Fetch(servers_.FaultUrl(c.fault, name), dir_ / Util::AnsiToWide(name), 5);
        EXPECT_EQ(got.partLimit, c.parts);
        EXPECT_EQ(got.bytes.size(), served.size());
        EXPECT_TRUE(got.bytes == served);
        std::vector<std::string> ranges = FaultGetRanges(servers_, name);
        ASSERT_EQ(ranges.size(), static_cast<size_t>(c.parts + 1));
        if (std::string(c.fault) == "stallnorange") {
            EXPECT_EQ(ranges, (std::vector<std::string>{"-", "-"}));
        } else if (c.parts == 1) {
            // The stalled first request sent half the file, the repeat asks for the rest.
            EXPECT_EQ(ranges, (std::vector<std::string>{"-", "524288-"}));
        } else {
            // The repeat starts in the middle of one of the original ranges.
            int resumed = 0;
            int64_t partSize = (static_cast<int64_t>(c.size) - 2) / c.parts;
            for (const std::string& range : ranges) {
                int64_t first = std::atoll(range.c_str());
                if (first % partSize != 0) ++resumed;
            }
            EXPECT_EQ(resumed, 1);
        }
    }
}

TEST_F(FaultyServer, StallWithoutRetriesFails) {
    std::string name = UniqueName("stall-no-retry");
    ASSERT_TRUE(servers_.Publish(name, PatternBytes(1048576, 40)));
    std::wstring target = dir_ / L"stall.bin";
    HttpDownloader downloader;
    downloader.SetRetryTimes(0);
    downloader.SetDownloadUrl(servers_.FaultUrl("stall", name));
    downloader.DownloadFile(Util::WideToAnsi(target), 5);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    std::string error;
    EXPECT_TRUE(downloader.GetErrorString(handle, &error));
    EXPECT_NE(error.find("imeout"), std::string::npos) << error;
    EXPECT_FALSE(testsupport::FileExists(target));
    EXPECT_FALSE(testsupport::FileExists(target + L".dl"));
}

}  // namespace
