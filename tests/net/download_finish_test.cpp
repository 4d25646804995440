// The side file becomes the target by a rename once every part has arrived.
// When that rename fails, the download has failed: the result says so, the
// side file goes, and whatever stands at the target stays as it was.
#include <gtest/gtest.h>
#include <winsock2.h>  // before windows.h, as the downloader headers need it
#include <windows.h>

#include "download_test_helpers.h"
#include "util/unique_handle.h"
#include "util/util.h"

using nettest::UniqueName;
using testsupport::PatternBytes;

namespace {

class FinishedDownload : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers_.ok()) << "the http_servers_start fixture did not run"; }

    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
};

bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FinishedDownload, RenameThatFailsIsReportedAsAFailedDownload) {
    enum class Obstacle { kFolder, kOpenWithoutDeleteSharing };
    struct Case {
        const char* base;
        Obstacle obstacle;
        size_t size;
    } cases[] = {
        {"target-folder", Obstacle::kFolder, 1048576},
        {"target-open", Obstacle::kOpenWithoutDeleteSharing, 1048576},
        {"target-open-parts", Obstacle::kOpenWithoutDeleteSharing, 6291456},  // two parallel parts
    };
    uint32_t seed = 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        std::string name = UniqueName(c.base);
        ASSERT_TRUE(servers_.Publish(name, PatternBytes(c.size, ++seed)));
        std::wstring target = dir_ / Util::AnsiToWide(name);
        std::wstring inside = target + L"\\kept.txt";
        Util::UniqueFile holder;
        if (c.obstacle == Obstacle::kFolder) {
            ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
            ASSERT_TRUE(testsupport::WriteFileBytes(inside, "kept"));
        } else {
            ASSERT_TRUE(testsupport::WriteFileBytes(target, "previous"));
            holder.reset(::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(holder);
        }

        HttpDownloader downloader;
        downloader.SetDownloadUrl(servers_.NginxUrl(name));
        downloader.DownloadFile(Util::WideToAnsi(target), 5);
        int results = 0;
        bool reportedSuccess = true;
        std::string reportedError;
        downloader.SetResultCallback([&](int, bool success, const std::string& error) {
            ++results;
            reportedSuccess = success;
            reportedError = error;
        });
        HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
        holder.reset();

        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(results, 1);
        EXPECT_FALSE(reportedSuccess);
        EXPECT_NE(reportedError.find("could not replace"), std::string::npos) << reportedError;
        std::string error;
        EXPECT_TRUE(downloader.GetErrorString(handle, &error));
        EXPECT_EQ(error, reportedError);
        EXPECT_FALSE(testsupport::FileExists(target + L".dl"));
        if (c.obstacle == Obstacle::kFolder) {
            EXPECT_TRUE(IsFolder(target));
            EXPECT_EQ(testsupport::ReadFileBytes(inside), "kept");
        } else {
            EXPECT_EQ(testsupport::ReadFileBytes(target), "previous");
        }
    }
}

}  // namespace
