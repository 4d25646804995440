// The update check fetches into the staging folder beside the launcher and
// nowhere else, and does nothing at all without one.
#include <gtest/gtest.h>

#include "support/debug_output_capture.h"
#include "support/test_paths.h"
#include "update/update_check.h"
#include "update_check_site.h"
#include "util/util.h"

using updatetest::DigestOf;
using updatetest::OneRuleDocument;

namespace {

class UpdateCheckStaging : public updatetest::SiteTest {
protected:
    UpdateCheckStaging() : SiteTest("staging") {}

    std::string PublishOneRule() {
        const std::string package(200000, 'p');
        const std::string url = site_.PublishPackage("setup.exe", package);
        EXPECT_TRUE(site_.PublishDocument(OneRuleDocument("1.1.*.*", "1.1.517.0", url, DigestOf(package))));
        return package;
    }
};

TEST_F(UpdateCheckStaging, EverythingIsFetchedBesideTheLauncherNothingIntoTheUsersTemp) {
    const std::string package = PublishOneRule();
    GetUpdate(site_.data(), site_.launcherDir());
    const std::wstring exe = site_.data().GetString(L"base", L"exe");
    EXPECT_EQ(exe.rfind(site_.launcherDir() + L"Temp\\~rq", 0), 0u) << Util::WideToUtf8(exe);
    EXPECT_EQ(testsupport::ReadFileBytes(exe), package);
    EXPECT_TRUE(site_.UserTempFiles().empty()) << "the user's %TEMP% is writable by every program of the user";
    EXPECT_EQ(site_.TempFiles().size(), 1u) << "the recorded package only";
}

TEST_F(UpdateCheckStaging, WithoutAStagingFolderNothingIsFetchedOrRecorded) {
    PublishOneRule();
    const std::string before = site_.DataBytes();
    // A file where the folder belongs: it cannot be made (as on read-only
    // media, or when its rules cannot be set).
    const std::wstring launcherDir = site_.launcherDir() + L"other\\";
    ASSERT_TRUE(testsupport::WriteFileBytes(launcherDir + L"Temp", "in the way"));
    testsupport::DebugOutputCapture capture;
    GetUpdate(site_.data(), launcherDir);
    EXPECT_NE(capture.Text().find("[******] staging folder not usable\n"), std::string::npos) << capture.Text();
    EXPECT_EQ(site_.DataBytes(), before);
    EXPECT_EQ(site_.servers().NginxLog(site_.PackageLogName("pc/Update.cfg")), "") << "no request at all";
    EXPECT_TRUE(site_.UserTempFiles().empty());
    EXPECT_EQ(testsupport::ReadFileBytes(launcherDir + L"Temp"), "in the way");
}

TEST_F(UpdateCheckStaging, AnUnknownLauncherFolderFetchesNothing) {
    PublishOneRule();
    const std::string before = site_.DataBytes();
    GetUpdate(site_.data(), L"");
    EXPECT_EQ(site_.DataBytes(), before);
    EXPECT_EQ(site_.servers().NginxLog(site_.PackageLogName("pc/Update.cfg")), "") << "no request at all";
    EXPECT_TRUE(site_.UserTempFiles().empty());
}

}  // namespace
