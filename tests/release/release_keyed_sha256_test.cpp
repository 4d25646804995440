// check --public-key: a launcher built with a key offers only packages whose
// SHA-256 the signed document holds, so a package without one is an error
// there, and nowhere else.
#include <gtest/gtest.h>

#include "release_test_support.h"
#include "support/temp_dir.h"
#include "util/util.h"

using namespace releasetest;

namespace {

TEST(ReleaseKeyedCheck, APackageWithoutSha256IsAnErrorOnlyWithAKey) {
    const std::string key = SignatureFixtureLine("main.pub", 1);
    ASSERT_FALSE(key.empty()) << "the release_signing_fixtures set-up did not run";
    const std::string withSha = Md5For(1);
    const std::string withoutSha = Md5For(2);
    std::string shaPackage = Package(withSha, "http://u.example/a.exe", "1.1.600.10");
    shaPackage.insert(shaPackage.rfind('}'), ", \"SHA256\": \"" + std::string(64, 'a') + "\" ");
    testsupport::TempDir dir;
    const std::wstring path =
        WriteDocument(dir, Document({Rule(withSha, "Prompt", "1.1.*.*"), Rule(withoutSha, "Prompt", "1.0.*.*")},
                                    {shaPackage, Package(withoutSha, "http://u.example/b.exe", "1.1.600.10")}));

    auto shaProblems = [](const std::vector<Listed>& listed) {
        std::vector<Listed> found;
        for (const Listed& problem : listed) {
            if (problem.text.find("has no SHA256") != std::string::npos) found.push_back(problem);
        }
        return found;
    };
    const release::CommandOutput keyed = Check(path, {L"--public-key", Util::Utf8ToWide(key)});
    const std::vector<Listed> found = shaProblems(ProblemsIn(keyed.out));
    ASSERT_EQ(found.size(), 1u) << keyed.out;
    EXPECT_TRUE(found[0].error);
    EXPECT_EQ(found[0].line, 4) << "the rule's line";
    EXPECT_NE(found[0].text.find("rule 2: package " + withoutSha + " has no SHA256"), std::string::npos)
        << found[0].text;
    EXPECT_EQ(keyed.exitCode, release::kExitProblem);

    const release::CommandOutput unkeyed = Check(path);
    EXPECT_TRUE(shaProblems(ProblemsIn(unkeyed.out)).empty()) << unkeyed.out;
}

}  // namespace
