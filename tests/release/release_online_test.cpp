// tarsel-release check --online against the test servers: a package on
// nginx (byte ranges), on a server without ranges, one whose digest
// differs, and an unreachable one.
#include <gtest/gtest.h>

#include "digest/md5.h"
#include "release_test_support.h"
#include "support/http_test_servers.h"
#include "util/util.h"

using namespace releasetest;
using testsupport::HttpTestServers;
using testsupport::TempDir;

namespace {

std::string UpperMd5(const std::string& bytes) {
    std::string md5 = Md5OfBytes(bytes.data(), bytes.size());
    for (char& c : md5) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return md5;
}

std::string LineWith(const std::string& out, const std::string& needle) {
    size_t at = out.find(needle);
    if (at == std::string::npos) return std::string();
    size_t start = out.rfind('\n', at);
    start = start == std::string::npos ? 0 : start + 1;
    return out.substr(start, out.find('\n', at) - start);
}

}  // namespace

TEST(ReleaseOnline, ReportsSizeRangesAndDigests) {
    HttpTestServers servers;
    ASSERT_TRUE(servers.ok()) << "the tarsel_http_servers fixture did not run";
    const std::string good = testsupport::PatternBytes(3 * 1024 * 1024 + 17, 41);
    const std::string other = testsupport::PatternBytes(50000, 42);
    const std::string goodName = testsupport::UniqueServerName("release-good.exe");
    const std::string otherName = testsupport::UniqueServerName("release-other.exe");
    ASSERT_TRUE(servers.Publish(goodName, good));
    ASSERT_TRUE(servers.Publish(otherName, other));

    const std::string goodMd5 = UpperMd5(good);
    const std::string claimed = Md5For(9);  // what the document says the other package is
    const std::string noRange = Md5For(10);
    const std::string nowhere = Md5For(11);
    // The fault server's package has its own digest key: the same file as
    // the nginx one would share its package entry.
    const std::string norangeUrl = servers.FaultUrl("norange", goodName);
    const std::string document = Document(
        {Rule(goodMd5, "Prompt", "1.1.[0-100].*"), Rule(claimed, "Prompt", "1.1.[101-200].*"),
         Rule(noRange, "Prompt", "1.1.[201-300].*"), Rule(nowhere, "Prompt", "1.1.[301-400].*")},
        {Package(goodMd5, servers.NginxUrl(goodName), "1.1.600.10"),
         Package(claimed, servers.NginxUrl(otherName), "1.1.600.10"), Package(noRange, norangeUrl, "1.1.600.10"),
         Package(nowhere, "http://127.0.0.1:9/never.exe", "1.1.600.10")});
    TempDir dir;
    release::CommandOutput result = Check(WriteDocument(dir, document), {L"--online"});
    EXPECT_EQ(result.exitCode, release::kExitProblem) << result.out << result.err;

    const std::string onNginx = LineWith(result.out, "online: " + servers.NginxUrl(goodName) + ":");
    EXPECT_NE(onNginx.find(std::to_string(good.size()) + " bytes, byte ranges supported, ETag \""), std::string::npos)
        << result.out;
    EXPECT_NE(onNginx.find("If-Range answered 206 and 200, MD5 " + goodMd5 + " matches"), std::string::npos)
        << result.out;
    const std::string withoutRanges = LineWith(result.out, "online: " + norangeUrl + ":");
    EXPECT_NE(withoutRanges.find(std::to_string(good.size()) + " bytes, no byte ranges"), std::string::npos)
        << result.out;
    EXPECT_NE(withoutRanges.find("differs from " + noRange), std::string::npos) << result.out;
    const std::string differs = LineWith(result.out, "online: " + servers.NginxUrl(otherName) + ":");
    EXPECT_NE(differs.find("MD5 " + UpperMd5(other) + " differs from " + claimed), std::string::npos) << result.out;
    EXPECT_NE(LineWith(result.out, "online: http://127.0.0.1:9/never.exe: not fetched"), "") << result.out;

    // One error per package that would fail, on its rule's line; the
    // package without ranges is also one an interrupted download of which
    // starts over.
    std::vector<Listed> listed = ProblemsIn(result.out);
    std::vector<int> errors, warnings;
    for (const Listed& l : listed) (l.error ? errors : warnings).push_back(l.line);
    EXPECT_EQ(errors, (std::vector<int>{4, 5, 6})) << result.out;
    EXPECT_EQ(warnings, (std::vector<int>{5})) << result.out;
    // The server without ranges was asked for the whole file at once.
    const std::string log = servers.FaultLog(goodName);
    EXPECT_NE(log.find("GET "), std::string::npos) << log;
    for (size_t at = log.find("GET "); at != std::string::npos; at = log.find("GET ", at + 1)) {
        EXPECT_EQ(log.substr(at, log.find('\n', at) - at).find("bytes="), std::string::npos) << log;
    }
}

TEST(ReleaseOnline, CleanOnlineDocument) {
    HttpTestServers servers;
    ASSERT_TRUE(servers.ok());
    const std::string bytes = testsupport::PatternBytes(200000, 43);
    const std::string name = testsupport::UniqueServerName("release-clean.exe");
    ASSERT_TRUE(servers.Publish(name, bytes));
    const std::string md5 = UpperMd5(bytes);
    TempDir dir;
    release::CommandOutput result =
        Check(WriteDocument(dir, Document({Rule(md5, "Force", "1.1.*.[0-9]")},
                                          {Package(md5, servers.FaultUrl("norange", name), "1.2.0.0")})),
              {L"--online"});
    EXPECT_EQ(result.exitCode, release::kExitClean) << result.out << result.err;
    EXPECT_NE(result.out.find("200000 bytes, no byte ranges (fetched in one transfer), no validator, MD5 " + md5 +
                              " matches"),
              std::string::npos)
        << result.out;
    // Nothing wrong with the document; a warning only, that this server
    // cannot continue an interrupted download.
    std::vector<Listed> problems = ProblemsIn(result.out);
    ASSERT_EQ(problems.size(), 1u) << result.out;
    EXPECT_FALSE(problems[0].error);
    EXPECT_NE(problems[0].text.find("starts over from zero: the server sends it in one transfer"), std::string::npos)
        << problems[0].text;
}

TEST(ReleaseOnline, ComparesTheSha256APackageLists) {
    // The installer and the digest sha256sum printed for it (in either
    // case, as launchers compare it); the same file listed under a SHA-256
    // that is not its own is rejected by launchers although its MD5 matches.
    HttpTestServers servers;
    ASSERT_TRUE(servers.ok()) << "the tarsel_http_servers fixture did not run";
    const std::string sha256sum = SignatureFixtureLine("installer.digests", 1);
    ASSERT_EQ(sha256sum.size(), 64u) << "the release_signing_fixtures set-up did not run";
    const std::string bytes = testsupport::ReadFileBytes(SignatureFixture("installer.bin"));
    const std::string md5 = UpperMd5(bytes);
    const std::string name = testsupport::UniqueServerName("release-sha.exe");
    ASSERT_TRUE(servers.Publish(name, bytes));
    const std::string url = servers.NginxUrl(name);
    std::string claimed = sha256sum;
    claimed[10] = claimed[10] == '0' ? '1' : '0';
    std::string upper = sha256sum;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    for (const std::string& listed : {sha256sum, upper, claimed}) {
        const bool right = listed != claimed;
        TempDir dir;
        release::CommandOutput result = Check(
            WriteDocument(dir, Document({Rule(md5, "Prompt", "1.1.[0-100].*")},
                                        {"\"" + md5 + "\": { \"ExeUrl\": \"" + url +
                                         "\", \"Version\": \"1.1.600.10\", \"SHA256\": \"" + listed + "\" }"})),
            {L"--online"});
        EXPECT_EQ(result.exitCode, right ? release::kExitClean : release::kExitProblem) << result.out << result.err;
        EXPECT_NE(LineWith(result.out, "online: " + url + ":")
                      .find("MD5 " + md5 + " matches, SHA256 " + sha256sum +
                            (right ? " matches" : " differs from " + claimed)),
                  std::string::npos)
            << result.out;
        std::vector<Listed> problems = ProblemsIn(result.out);
        if (right) {
            EXPECT_TRUE(problems.empty()) << result.out;
            continue;
        }
        ASSERT_EQ(problems.size(), 1u) << result.out;
        EXPECT_EQ(problems[0].line, 3);
        EXPECT_NE(problems[0].text.find("has SHA256 " + sha256sum + ", not " + claimed + ": the launcher rejects it"),
                  std::string::npos)
            << result.out;
    }
}

TEST(ReleaseOnline, WarnsWhereAnInterruptedDownloadCannotContinue) {
    HttpTestServers servers;
    ASSERT_TRUE(servers.ok()) << "the tarsel_http_servers fixture did not run";
    const std::string bytes = testsupport::PatternBytes(3 * 1024 * 1024, 44);
    const std::string name = testsupport::UniqueServerName("release-resume.exe");
    ASSERT_TRUE(servers.Publish(name, bytes));
    const std::string md5 = UpperMd5(bytes);
    struct Case {
        std::string url;
        const char* report;   // in the online line
        const char* warning;  // null: none
    } cases[] = {
        {servers.NginxUrl(name), "If-Range answered 206 and 200", nullptr},
        {servers.FaultUrl("plain", name), "byte ranges supported, no validator",
         "the server names no version of it (no ETag or Last-Modified)"},
        {servers.FaultUrl("ignoreifrange", name), "ETag \"fixed-tag\", If-Range answered 206 and 206",
         "the server ignores If-Range: asked for a range of another version it answered 206"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        TempDir dir;
        release::CommandOutput result = Check(
            WriteDocument(dir, Document({Rule(md5, "Prompt", "1.1.[0-100].*")}, {Package(md5, c.url, "1.1.600.10")})),
            {L"--online"});
        EXPECT_EQ(result.exitCode, release::kExitClean) << result.out << result.err;
        EXPECT_NE(LineWith(result.out, "online: " + c.url + ":").find(c.report), std::string::npos) << result.out;
        std::vector<Listed> problems = ProblemsIn(result.out);
        if (!c.warning) {
            EXPECT_TRUE(problems.empty()) << result.out;
            continue;
        }
        ASSERT_EQ(problems.size(), 1u) << result.out;
        EXPECT_FALSE(problems[0].error);
        EXPECT_NE(problems[0].text.find(c.warning), std::string::npos) << problems[0].text;
    }
}
