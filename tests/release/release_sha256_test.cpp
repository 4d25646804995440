// tarsel-release add and the package's SHA-256: the digest it writes is the
// one sha256sum prints for the installer (and md5sum's, upper-cased, for
// TargetMD5), and the launcher reads it back; a listed SHA-256 that is not
// the installer's is never kept silently.
#include <gtest/gtest.h>

#include <algorithm>

#include "release/document_file.h"
#include "release_test_support.h"
#include "support/temp_dir.h"

using namespace releasetest;
using testsupport::TempDir;

namespace {

std::vector<std::wstring> AddArgs(const std::wstring& config, const std::wstring& pattern) {
    return {L"add",       config,    L"--installer", SignatureFixture("installer.bin"),
            L"--url",     L"http://updates.invalid/setup.exe",
            L"--version", L"1.1.600.10",
            L"--for",     pattern,
            L"--type",    L"Prompt"};
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'f' ? c - 32 : c; });
    return text;
}

class ReleaseSha256 : public testing::Test {
protected:
    void SetUp() override {
        md5sum = SignatureFixtureLine("installer.digests", 0);
        sha256sum = SignatureFixtureLine("installer.digests", 1);
        ASSERT_EQ(sha256sum.size(), 64u) << "the release_signing_fixtures set-up did not run";
        config = dir / L"Update.cfg";
    }
    std::vector<std::wstring> Add(const std::wstring& pattern) {
        std::vector<std::wstring> args = AddArgs(config, pattern);
        args.insert(args.begin() + 1, L"--config");
        return args;
    }
    TempDir dir;
    std::wstring config;
    std::string md5sum, sha256sum;
};

TEST_F(ReleaseSha256, AddWritesTheDigestsMd5sumAndSha256sumPrint) {
    release::CommandOutput added = release::RunRelease(Add(L"1.1.[0-599].*"));
    ASSERT_EQ(added.exitCode, release::kExitClean) << added.out << added.err;
    const std::string text = testsupport::ReadFileBytes(config);
    EXPECT_NE(text.find("\"TargetMD5\": \"" + Upper(md5sum) + "\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"SHA256\": \"" + sha256sum + "\""), std::string::npos) << text;

    UpdateInfoList rules;
    ASSERT_TRUE(release::ParseBytesAsLauncher(text, rules)) << text;
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0]["sha256"], sha256sum);
    release::CommandOutput checked = Check(config);
    EXPECT_EQ(checked.exitCode, release::kExitClean) << checked.out;
    EXPECT_TRUE(ProblemsIn(checked.out).empty()) << checked.out;

    // A second rule for the same installer keeps its package as it is.
    release::CommandOutput again = release::RunRelease(Add(L"1.0.*.*"));
    ASSERT_EQ(again.exitCode, release::kExitClean) << again.out << again.err;
    EXPECT_NE(again.out.find("kept package " + Upper(md5sum)), std::string::npos) << again.out;
    EXPECT_EQ(again.out.find("without SHA256"), std::string::npos) << again.out;
}

TEST_F(ReleaseSha256, AListedPackageKeepsOrRefusesItsSha256) {
    const std::string md5 = Upper(md5sum);
    struct Case {
        const char* what;
        std::string extra;  // members after the package's Version
        int exitCode;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"none listed", "", release::kExitClean, "without SHA256: only its MD5 is checked"},
        {"the same in upper case", ", \"SHA256\": \"" + Upper(sha256sum) + "\"", release::kExitClean, "kept package"},
        {"another one", ", \"SHA256\": \"" + std::string(64, 'a') + "\"", release::kExitProblem,
         "is already listed with SHA256"},
        {"a malformed one", ", \"SHA256\": \"abc\"", release::kExitProblem, "is already listed with SHA256"},
    };
    for (const Case& c : cases) {
        const std::string before = "{\n  \"Configs\": [],\n  \"Targets\": {\n    \"" + md5 +
                                   "\": { \"ExeUrl\": \"http://updates.invalid/setup.exe\", \"Version\": \"1.1.600.10\"" +
                                   c.extra + " }\n  }\n}\n";
        testsupport::WriteFileBytes(config, before);
        release::CommandOutput result = release::RunRelease(Add(L"1.1.[0-599].*"));
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << "\n" << result.out << result.err;
        EXPECT_NE((result.out + result.err).find(c.says), std::string::npos) << c.what << "\n" << result.out << result.err;
        if (c.exitCode != release::kExitClean) {
            EXPECT_EQ(testsupport::ReadFileBytes(config), before) << c.what;
        }
    }
}

}  // namespace
