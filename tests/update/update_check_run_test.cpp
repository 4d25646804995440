// The whole update check against the test nginx: what it leaves in the data
// file and in the temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "support/debug_output_capture.h"
#include "support/temp_dir.h"
#include "update/update_check.h"
#include "update_check_site.h"
#include "util/diagnostics.h"
#include "util/util.h"

using testsupport::PatternBytes;
using updatetest::CountGets;
using updatetest::DigestOf;
using updatetest::KeysInFileOrder;
using updatetest::OneRuleDocument;
using updatetest::UpdateCheckSite;

namespace {

class GetUpdateRun : public updatetest::SiteTest {
protected:
    GetUpdateRun() : SiteTest("run") {}
};

TEST_F(GetUpdateRun, VerifiedPackageIsRecordedForTheNextStart) {
    std::string package = PatternBytes(12582912, 60);  // 12 MiB: five parts
    std::string md5 = DigestOf(package);
    std::string url = site_.PublishPackage("setup.exe", package);
    ASSERT_TRUE(site_.PublishDocument(OneRuleDocument("1.1.*.*", "1.1.517.0", url, md5)));

    testsupport::DebugOutputCapture capture;
    GetUpdate(site_.data(), site_.launcherDir());

    EXPECT_EQ(KeysInFileOrder(site_.DataBytes()),
              (std::vector<std::string>{"ver", "server", "exe", "action", "md5", "type", "newver", "imgs", "desc",
                                        "url"}));
    std::string exe = Data(L"exe");
    EXPECT_EQ(Data(L"action"), "toupdate");
    EXPECT_EQ(Data(L"md5"), md5);
    EXPECT_EQ(Data(L"type"), "Prompt");
    EXPECT_EQ(Data(L"newver"), "1.1.517.0");
    EXPECT_EQ(Data(L"imgs"), "a.png;b.png;");
    EXPECT_EQ(Data(L"desc"), "fixes;speed;");
    EXPECT_EQ(Data(L"url"), url);
    // Only the recorded package is left: no document, no empty stems.
    std::vector<std::wstring> left = site_.TempFiles();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(Util::AnsiToWide(exe), site_.tempDir() + left[0]);
    EXPECT_EQ(exe.substr(exe.size() - 8), ".tmp.exe");
    // The recorded package holds exactly the served bytes.
    EXPECT_EQ(testsupport::ReadFileBytes(Util::AnsiToWide(exe)), package);
    EXPECT_EQ(CountGets(site_.servers().NginxLog(site_.PackageLogName("setup.exe"))), 5u);

    std::string log = capture.Text();
    size_t at = 0;
    for (const std::string& expected :
         {std::string("GetUpdate\n"), std::string("[*****] sFile.not_empty()\n"), std::string("GetFile\n"),
          "[******] " + Util::Utf8ToCodePage936("待下载文件:") + "\n" + exe, std::string("[******] suc md5\n"),
          "[*****] " + Util::Utf8ToCodePage936("新资源下载成功") + " \n" + exe + "toupdate" + md5 +
              "Prompt1.1.517.0a.png;b.png;fixes;speed;" + url}) {
        size_t found = log.find(expected, at);
        EXPECT_NE(found, std::string::npos) << expected;
        if (found != std::string::npos) at = found + expected.size();
    }
}

TEST_F(GetUpdateRun, FailuresWriteNothingAndLeaveNothingBehind) {
    std::string package = PatternBytes(3000000, 61);
    std::string md5 = DigestOf(package);
    std::string url = site_.PublishPackage("setup.exe", package);
    struct Case {
        const char* what;
        std::string document;
        const char* log;  // expected in the debugger output, "" for none
    } cases[] = {
        {"no rule for the installed version", OneRuleDocument("2.*.*.*", "2.0.0.1", url, md5), ""},
        {"package older than the installed version", OneRuleDocument("*.*.*.*", "1.1.516.219", url, md5), ""},
        {"not JSON", "{ \"Configs\": [ ", ""},
        {"wrong digest", OneRuleDocument("*.*.*.*", "1.1.517.0", url, std::string(32, 'F')),
         "[******] failing md5\n"},
        {"missing package", OneRuleDocument("*.*.*.*", "1.1.517.0", url + ".gone", md5), "[******] failing md5\n"},
        {"missing package of a rule without digest", OneRuleDocument("*.*.*.*", "1.1.517.0", url + ".gone", ""),
         "[******] failing md5\n"},
        {"no document", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.document.empty()) {
            ::DeleteFileW(site_.servers().DocrootPath(site_.PackageLogName("pc/Update.cfg")).c_str());
        } else {
            ASSERT_TRUE(site_.PublishDocument(c.document));
        }
        std::string before = site_.DataBytes();
        testsupport::DebugOutputCapture capture;
        GetUpdate(site_.data(), site_.launcherDir());
        EXPECT_EQ(site_.DataBytes(), before);
        EXPECT_TRUE(site_.TempFiles().empty());
        std::string log = capture.Text();
        if (*c.log) {
            EXPECT_NE(log.find(c.log), std::string::npos) << log;
        }
        EXPECT_EQ(log.find("toupdate"), std::string::npos);
    }
}

TEST_F(GetUpdateRun, WrongDigestIsLoggedAsTheUpperCaseDigestOfTheFile) {
    std::string package = PatternBytes(1000000, 62);
    std::string url = site_.PublishPackage("setup.exe", package);
    ASSERT_TRUE(site_.PublishDocument(OneRuleDocument("*.*.*.*", "1.1.517.0", url, std::string(32, 'F'))));
    testsupport::DebugOutputCapture capture;
    GetUpdate(site_.data(), site_.launcherDir());
    EXPECT_NE(capture.Text().find("[******] failing md5\n" + DigestOf(package)), std::string::npos);
    EXPECT_EQ(Data(L"action"), "");
}

TEST_F(GetUpdateRun, SecondRunRecordsANewPackageInPlaceOfTheFirst) {
    std::string package = PatternBytes(500000, 63);
    std::string md5 = DigestOf(package);
    std::string url = site_.PublishPackage("setup.exe", package);
    ASSERT_TRUE(site_.PublishDocument(OneRuleDocument("*.*.*.*", "1.1.516.220", url, md5)));  // same text applies
    GetUpdate(site_.data(), site_.launcherDir());
    std::string first = Data(L"exe");
    ASSERT_NE(first, "");
    GetUpdate(site_.data(), site_.launcherDir());
    std::string second = Data(L"exe");
    EXPECT_NE(second, "");
    EXPECT_NE(second, first);
    // The first package is no longer recorded, so it goes too.
    std::vector<std::wstring> left = site_.TempFiles();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(Util::AnsiToWide(second), site_.tempDir() + left[0]);
}

}  // namespace
