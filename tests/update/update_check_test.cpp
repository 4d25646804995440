// Fetching the update document and verified package downloads.
#include <gtest/gtest.h>

#include "support/debug_output_capture.h"
#include "support/http_test_servers.h"
#include "update/update_check.h"
#include "update_check_site.h"
#include "util/util.h"

using testsupport::PatternBytes;
using updatetest::UpdateCheckSite;

namespace {

TEST(UpperCaseDigest, ClearsBit0x20FromLettersOnly) {
    EXPECT_EQ(UpperCaseDigest("0123456789abcdef"), "0123456789ABCDEF");
    EXPECT_EQ(UpperCaseDigest("D41D8CD98F00B204E9800998ECF8427E"), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(UpperCaseDigest(""), "");
    // Bytes from 0x80 up are left alone (the launcher's check of a waiting
    // installer uses the same rule).
    EXPECT_EQ(UpperCaseDigest("ab\xe1\xff\x80"), "AB\xe1\xff\x80");
}

TEST(UpdateServerAddress, DataFileOverridesTheBuiltInServer) {
    testsupport::TempDir dir;
    CIniFile data(dir / L"TarselMainLauncher.dat");
    EXPECT_EQ(UpdateServerAddress(data), TARSEL_UPDATE_SERVER);
    data.WriteString(L"base", L"server", L"");
    EXPECT_EQ(UpdateServerAddress(data), TARSEL_UPDATE_SERVER);
    data.WriteString(L"base", L"server", L"http://127.0.0.1:8080");
    EXPECT_EQ(UpdateServerAddress(data), "http://127.0.0.1:8080");
    data.WriteString(L"base", L"server", L"http://updates.example/cn//");
    EXPECT_EQ(UpdateServerAddress(data), "http://updates.example/cn");
}

class UpdateCheckParts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site_.ok()) << "the http_servers_start fixture did not run"; }
    std::string TempPath(const std::string& name) const { return Util::WideToAnsi(site_.tempDir()) + name; }

    UpdateCheckSite site_{"parts"};
};

TEST_F(UpdateCheckParts, DocumentIsFetchedIntoATemporaryFile) {
    ASSERT_TRUE(site_.PublishDocument("{ \"Configs\": [] }\n"));
    std::string path = FetchUpdateConfig(site_.ServerAddress(), site_.tempDir());
    ASSERT_NE(path, "");
    EXPECT_EQ(path.rfind(Util::WideToAnsi(site_.tempDir()), 0), 0u) << path;
    EXPECT_EQ(testsupport::ReadFileBytes(Util::AnsiToWide(path)), "{ \"Configs\": [] }\n");
}

TEST_F(UpdateCheckParts, MissingDocumentOrServerLeavesNoFile) {
    for (std::string server : {site_.ServerAddress(), std::string("http://127.0.0.1:1")}) {
        EXPECT_EQ(FetchUpdateConfig(server, site_.tempDir()), "") << server;
        EXPECT_TRUE(site_.TempFiles().empty()) << server;
    }
}

TEST_F(UpdateCheckParts, PackageVerifiesAgainstTheUpperCaseDigestOnly) {
    std::string served = PatternBytes(3000000, 50);
    std::string url = site_.PublishPackage("pkg.exe", served);
    std::string digest = updatetest::DigestOf(served);
    ASSERT_EQ(digest.size(), 32u);
    std::string lower = digest;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    struct Case {
        std::string md5;
        bool verified;
    } cases[] = {{digest, true}, {lower, false}, {std::string(32, '0'), false}};
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.md5);
        std::string file = TempPath("pkg" + std::to_string(++round) + ".exe");
        testsupport::DebugOutputCapture capture;
        EXPECT_EQ(GetFile(url, file, c.md5), c.verified);
        std::string log = capture.Text();
        EXPECT_NE(log.find("[****] ---------pstUrl:\n" + url), std::string::npos);
        EXPECT_NE(log.find("[******] suc download\n"), std::string::npos);
        if (c.verified) {
            EXPECT_NE(log.find("[******] suc md5\n"), std::string::npos);
        } else {
            EXPECT_NE(log.find("[******] failing md5\n" + digest), std::string::npos) << log;
        }
        // The file stays where it is either way; GetFile never deletes it.
        EXPECT_TRUE(testsupport::ReadFileBytes(Util::AnsiToWide(file)) == served);
    }
}

TEST_F(UpdateCheckParts, PackageThatCannotBeFetchedReportsAnEmptyDigest) {
    std::string file = TempPath("absent.exe");
    testsupport::DebugOutputCapture capture;
    EXPECT_FALSE(GetFile(site_.ServerAddress() + "/absent.exe", file, std::string(32, 'A')));
    std::string log = capture.Text();
    std::string marker = "[******] failing md5\n";
    ASSERT_NE(log.find(marker), std::string::npos);
    EXPECT_EQ(log.substr(log.find(marker) + marker.size()), "");
    EXPECT_TRUE(site_.TempFiles().empty());
    // The empty digest of a missing file never matches a rule without one.
    EXPECT_FALSE(GetFile(site_.ServerAddress() + "/absent.exe", file, ""));
}

}  // namespace
