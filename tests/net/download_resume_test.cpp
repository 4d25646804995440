// Downloads that end early and are continued by a later run against nginx:
// only the missing bytes are fetched again, and a file that changed on the
// server, a damaged record or a server without validators start over.
#include <gtest/gtest.h>
#include <winsock2.h>  // before windows.h, as the downloader headers need it
#include <windows.h>

#include <sstream>

#include "download_test_helpers.h"
#include "net/download_record_file.h"
#include "util/util.h"

using nettest::UniqueName;
using testsupport::PatternBytes;

namespace {

constexpr size_t kSize = 20 * 1024 * 1024;  // five parts

class ContinuedDownload : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers_.ok()) << "the http_servers_start fixture did not run"; }

    // One run of the download with a record; `stopAt` > 0 ends it once
    // that many bytes have arrived, as a switched-off PC would.
    bool Run(const std::string& url, double stopAt) {
        HttpDownloader downloader;
        downloader.SetDownloadUrl(url);
        downloader.DownloadFile(Util::WideToAnsi(target_), 5);
        downloader.SetResume(net::ResumeSettings{record_, "MD5", ""});
        bool succeeded = false;
        downloader.SetResultCallback([&](int, bool success, const std::string&) { succeeded = success; });
        downloader.SetProgressCallback([stopAt](double, double downloaded, void*) {
            return stopAt > 0 && downloaded >= stopAt ? 1 : 0;
        });
        HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
        return handle && succeeded;
    }

    // Body bytes nginx sent for GET requests of /medium/NAME.
    int64_t BytesSent(const std::string& name) {
        std::istringstream lines(servers_.NginxLog("medium/" + name));
        int64_t total = 0;
        std::string method, uri, range, status, bytes;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            fields >> method >> uri >> range >> status >> bytes;
            if (method == "GET") total += std::stoll(bytes);
        }
        return total;
    }

    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
    std::wstring target_ = dir_ / L"package.exe";
    std::wstring record_ = dir_ / L"download.rec";
};

TEST_F(ContinuedDownload, FetchesOnlyWhatTheInterruptedRunLacked) {
    const std::string name = UniqueName("continued");
    const std::string bytes = PatternBytes(kSize, 271);
    ASSERT_TRUE(servers_.Publish(name, bytes));
    const std::string url = servers_.NginxBase() + "/medium/" + name;

    EXPECT_FALSE(Run(url, kSize / 2));
    ASSERT_FALSE(testsupport::FileExists(target_));
    ASSERT_TRUE(testsupport::FileExists(target_ + L".dl"));
    const auto record = net::LoadDownloadRecord(record_);
    ASSERT_TRUE(record);
    EXPECT_EQ(5u, record->parts.size());
    EXPECT_EQ(static_cast<int64_t>(kSize), record->size);
    EXPECT_FALSE(record->validator.etag.empty());  // nginx names the version
    const int64_t kept = net::BytesDone(record->parts);
    EXPECT_GE(kept, static_cast<int64_t>(kSize / 2));

    ASSERT_TRUE(Run(url, 0));
    EXPECT_EQ(bytes, testsupport::ReadFileBytes(target_));
    EXPECT_FALSE(testsupport::FileExists(target_ + L".dl"));
    EXPECT_FALSE(testsupport::FileExists(record_));
    // Both runs together fetched at most a tenth more than the file.
    EXPECT_LE(BytesSent(name), static_cast<int64_t>(kSize) * 11 / 10) << servers_.NginxLog("medium/" + name);
    // The second run asked every unfinished part from where it stopped.
    for (const net::RecordedPart& part : record->parts) {
        if (net::PartDone(part, record->size)) continue;
        const std::string asked = "\"bytes=" + std::to_string(part.position) + "-";
        EXPECT_NE(std::string::npos, servers_.NginxLog("medium/" + name).find(asked)) << asked;
    }
}

TEST_F(ContinuedDownload, StartsOverWhenTheFileChangedOnTheServerOrTheRecordIsDamaged) {
    for (const bool changeFile : {true, false}) {
        SCOPED_TRACE(changeFile ? "file changed" : "record damaged");
        const std::string name = UniqueName("changed");
        ASSERT_TRUE(servers_.Publish(name, PatternBytes(kSize, 300)));
        const std::string url = servers_.NginxBase() + "/medium/" + name;
        EXPECT_FALSE(Run(url, kSize / 2));
        const auto record = net::LoadDownloadRecord(record_);
        ASSERT_TRUE(record);

        std::string expected = PatternBytes(kSize, 300);
        if (changeFile) {
            // Same size, new contents an hour later: a new entity tag.
            expected = PatternBytes(kSize, 301);
            ASSERT_TRUE(servers_.Publish(name, expected));
            Util::UniqueFile file(::CreateFileW(servers_.DocrootPath(name).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(file);
            FILETIME later;
            ::GetSystemTimeAsFileTime(&later);
            ULARGE_INTEGER value{{later.dwLowDateTime, later.dwHighDateTime}};
            value.QuadPart += 36000000000ull;
            later = FILETIME{value.LowPart, value.HighPart};
            ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &later));
        } else {
            ASSERT_TRUE(testsupport::WriteFileBytes(record_, "tarsel download record 1\nurl x\nend\n"));
        }
        ASSERT_TRUE(Run(url, 0));
        EXPECT_EQ(expected, testsupport::ReadFileBytes(target_));
        // The second run fetched the whole file again, from each part's start.
        std::istringstream lines(servers_.NginxLog("medium/" + name));
        int fromStart = 0;
        for (std::string line; std::getline(lines, line);) {
            for (const net::RecordedPart& part : record->parts) {
                const std::string first = "\"bytes=" + std::to_string(part.first) + "-";
                if (line.rfind("GET ", 0) == 0 && line.find(first) != std::string::npos) ++fromStart;
            }
        }
        EXPECT_EQ(10, fromStart);  // five in each run
        ASSERT_TRUE(::DeleteFileW(target_.c_str()));
    }
}

TEST_F(ContinuedDownload, WithoutAValidatorNothingIsKeptForLater) {
    // The fault server's plain files honour ranges but name no version.
    const std::string name = UniqueName("unnamed");
    ASSERT_TRUE(servers_.Publish(name, PatternBytes(kSize, 302)));
    EXPECT_FALSE(Run(servers_.FaultUrl("plain", name), kSize / 2));
    EXPECT_FALSE(testsupport::FileExists(target_ + L".dl"));
    EXPECT_FALSE(testsupport::FileExists(record_));
    EXPECT_TRUE(Run(servers_.FaultUrl("plain", name), 0));
    EXPECT_EQ(PatternBytes(kSize, 302), testsupport::ReadFileBytes(target_));
    EXPECT_FALSE(testsupport::FileExists(record_));
}

}  // namespace
