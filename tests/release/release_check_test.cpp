// tarsel-release check: every problem in a document made for it, with its
// line and the exit code; a clean document without any; corrupted documents
// never crash the check.
#include <gtest/gtest.h>

#include <random>

#include "release/document_check.h"
#include "release_test_support.h"
#include "update/rule_selection.h"

using namespace releasetest;
using testsupport::TempDir;

namespace {

const std::string kUrl = "http://updates.invalid/Tarsel_Setup.exe";
const std::string kA = Md5For(1);
const std::string kB = Md5For(2);
const std::string kC = Md5For(3);

// Rules on lines 3.., packages after them (see Document).
std::string CleanDocument() {
    return Document({Rule(kA, "Prompt", "1.1.[0-599].*"), Rule(kB, "Force", "1.0.*.*")},
                    {Package(kA, kUrl, "1.1.600.10"), Package(kB, kUrl, "1.1.600.10")});
}

const std::string kSha256 = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

std::string PackageWithSha256(const std::string& md5, const std::string& sha256) {
    return "\"" + md5 + R"(": { "ExeUrl": ")" + kUrl + R"(", "Version": "1.2.0.0", "SHA256": ")" + sha256 + R"(" })";
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST(ReleaseCheck, CleanDocumentListsNothing) {
    TempDir dir;
    release::CommandOutput result = Check(WriteDocument(dir, CleanDocument()));
    EXPECT_EQ(result.exitCode, release::kExitClean) << result.out << result.err;
    EXPECT_TRUE(ProblemsIn(result.out).empty()) << result.out;
    EXPECT_NE(result.out.find("0 errors, 0 warnings"), std::string::npos) << result.out;
}

TEST(ReleaseCheck, EachProblemOnItsLine) {
    struct Case {
        const char* what;
        std::string document;
        bool error;
        int line;
        std::string says;
    };
    const std::string deep = "{\n\"Configs\":\n" + std::string(70, '[') + std::string(70, ']') + "\n}";
    const Case cases[] = {
        {"not JSON", "{\n  \"Configs\": [\n    { \"TargetMD5\": }\n  ]\n}\n", true, 3, "not valid JSON"},
        {"empty file", "", true, 1, "not valid JSON"},
        {"too deep", deep, true, 3, "nested deeper"},
        {"lower-case digest", Document({Rule(Lower(kA), "Prompt", "1.1.*.*")}, {Package(Lower(kA), kUrl, "1.2.0.0")}),
         true, 3, "lower case"},
        {"short digest", Document({Rule("ABC123", "Prompt", "1.1.*.*")}, {Package("ABC123", kUrl, "1.2.0.0")}), true, 3,
         "not 32 hexadecimal digits"},
        {"no package", Document({Rule(kA, "Prompt", "1.1.*.*")}, {Package(kB, kUrl, "1.2.0.0")}), true, 3,
         "no package"},
        {"package without ExeUrl",
         Document({Rule(kA, "Prompt", "1.1.*.*")}, {"\"" + kA + "\": { \"Version\": \"1.2.0.0\" }"}), true, 6,
         "no ExeUrl"},
        {"version of three numbers", Document({Rule(kA, "Prompt", "1.1.*.*")}, {Package(kA, kUrl, "1.2.0")}), true, 6,
         "not four numbers"},
        {"unknown type", Document({Rule(kA, "Later", "1.1.*.*")}, {Package(kA, kUrl, "1.2.0.0")}), true, 3,
         "not StartUp, Prompt or Force"},
        {"unreadable pattern", Document({Rule(kA, "Prompt", "1.1.*")}, {Package(kA, kUrl, "1.2.0.0")}), true, 3,
         "cannot be read"},
        {"empty range", Document({Rule(kA, "Prompt", "1.1.[9-3].*")}, {Package(kA, kUrl, "1.2.0.0")}), true, 3,
         "matches no version"},
        {"word in pattern", Document({Rule(kA, "Prompt", "1.x.*.*")}, {Package(kA, kUrl, "1.2.0.0")}), true, 3,
         "matches no version"},
        {"package older than every match", Document({Rule(kA, "Prompt", "2.*.*.*")}, {Package(kA, kUrl, "1.5.0.0")}),
         true, 3, "applies to nobody"},
        {"package not newer than some matches",
         Document({Rule(kA, "Prompt", "1.1.*.*")}, {Package(kA, kUrl, "1.1.600.10")}), false, 3,
         "matches 1.1.600.10 and later"},
        {"hidden by one later rule",
         Document({Rule(kA, "Prompt", "1.1.[0-500].*"), Rule(kB, "Prompt", "1.1.[0-599].*")},
                  {Package(kA, kUrl, "1.1.600.0"), Package(kB, kUrl, "1.1.600.0")}),
         false, 3, "hidden by later rule 2"},
        {"hidden by two later rules",
         Document({Rule(kA, "Prompt", "1.1.[0-599].*"), Rule(kB, "Prompt", "1.1.[0-300].*"),
                   Rule(kC, "Force", "1.1.[301-599].*")},
                  {Package(kA, kUrl, "1.1.600.0"), Package(kB, kUrl, "1.1.600.0"), Package(kC, kUrl, "1.1.600.0")}),
         false, 3, "hidden by later rules 2, 3"},
        {"short SHA256", Document({Rule(kA, "Prompt", "1.1.*.*")}, {PackageWithSha256(kA, kSha256.substr(1))}), true,
         6, "SHA256 \"" + kSha256.substr(1) + "\" of package \"" + kA + "\" is not 64 hexadecimal digits"},
        {"SHA256 with a letter beyond f",
         Document({Rule(kA, "Prompt", "1.1.*.*")}, {PackageWithSha256(kA, "g" + kSha256.substr(1))}), true, 6,
         "is not 64 hexadecimal digits"},
        {"SHA256 as a number",
         Document({Rule(kA, "Prompt", "1.1.*.*")},
                  {"\"" + kA + R"(": { "ExeUrl": ")" + kUrl + R"(", "Version": "1.2.0.0", "SHA256": 1234 })"}),
         true, 6, "SHA256 \"1234\""},
        {"rule that is no object", "{\n  \"Configs\": [\n    \"Prompt\"\n  ]\n}\n", false, 3, "not an object"},
        {"no rules", "{\n  \"Targets\": {}\n}\n", false, 1, "no \"Configs\""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        release::CommandOutput result = Check(WriteDocument(dir, c.document));
        std::vector<Listed> listed = ProblemsIn(result.out);
        ASSERT_EQ(listed.size(), 1u) << c.what << "\n" << result.out << result.err;
        EXPECT_EQ(listed[0].error, c.error) << c.what << "\n" << result.out;
        EXPECT_EQ(listed[0].line, c.line) << c.what << "\n" << result.out;
        EXPECT_NE(listed[0].text.find(c.says), std::string::npos) << c.what << "\n" << result.out;
        EXPECT_EQ(result.exitCode, c.error ? release::kExitProblem : release::kExitClean) << c.what;
    }
}

TEST(ReleaseCheck, Sha256InEitherCaseIsAccepted) {
    // The launcher compares SHA-256 digests without regard to case.
    std::string upper = kSha256;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& sha256 : {kSha256, upper}) {
        TempDir dir;
        release::CommandOutput result = Check(WriteDocument(
            dir, Document({Rule(kA, "Prompt", "1.1.[0-599].*")}, {PackageWithSha256(kA, sha256)})));
        EXPECT_TRUE(ProblemsIn(result.out).empty()) << result.out;
        EXPECT_EQ(result.exitCode, release::kExitClean);
    }
}

// "Background" asks launchers for a polite download; a value they do not
// take as true or false is worth a warning: they download at full speed.
TEST(ReleaseCheck, BackgroundMustBeTrueOrFalse) {
    const struct {
        const char* value;
        bool warned;
    } cases[] = {{"true", false}, {"false", false}, {"\"yes\"", true}, {"1", true}};
    for (const auto& c : cases) {
        TempDir dir;
        const std::string package = "\"" + kA + R"(": { "ExeUrl": ")" + kUrl + R"(", "Version": "1.2.0.0", "Background": )" +
                                    c.value + " }";
        release::CommandOutput result =
            Check(WriteDocument(dir, Document({Rule(kA, "Prompt", "1.1.[0-599].*")}, {package})));
        const std::vector<Listed> problems = ProblemsIn(result.out);
        if (c.warned) {
            ASSERT_EQ(problems.size(), 1u) << result.out;
            EXPECT_FALSE(problems[0].error) << problems[0].text;
            EXPECT_NE(problems[0].text.find("Background"), std::string::npos) << problems[0].text;
            EXPECT_EQ(result.exitCode, release::kExitClean) << "a warning is not an error";
        } else {
            EXPECT_TRUE(problems.empty()) << result.out;
            EXPECT_EQ(result.exitCode, release::kExitClean);
        }
    }
}

TEST(ReleaseCheck, RulesWithAGapAreNotHidden) {
    // 1.1.301.* still gets rule 1.
    TempDir dir;
    release::CommandOutput result = Check(WriteDocument(
        dir,
        Document({Rule(kA, "Prompt", "1.1.[0-599].*"), Rule(kB, "Prompt", "1.1.[0-300].*"),
                  Rule(kC, "Force", "1.1.[302-599].*")},
                 {Package(kA, kUrl, "1.1.600.0"), Package(kB, kUrl, "1.1.600.0"), Package(kC, kUrl, "1.1.600.0")})));
    EXPECT_TRUE(ProblemsIn(result.out).empty()) << result.out;
    EXPECT_EQ(result.exitCode, release::kExitClean);
}

TEST(ReleaseCheck, DocumentBeyondTheSizeLimit) {
    TempDir dir;
    std::string document = CleanDocument();
    document.insert(2, "  \"Notes\": \"" + std::string(16 * 1024 * 1024, 'x') + "\",\n");
    release::CommandOutput result = Check(WriteDocument(dir, document));
    std::vector<Listed> listed = ProblemsIn(result.out);
    ASSERT_EQ(listed.size(), 1u) << result.out;
    EXPECT_NE(listed[0].text.find("16 MiB"), std::string::npos) << listed[0].text;
    EXPECT_EQ(result.exitCode, release::kExitProblem);
}

TEST(ReleaseCheck, WrongCommandsExitWithTwo) {
    TempDir dir;
    std::wstring document = WriteDocument(dir, CleanDocument());
    const std::vector<std::vector<std::wstring>> commands = {
        {},
        {L"publish"},
        {L"check"},
        {L"check", document, document},
        {L"check", dir / L"missing.cfg"},
        {L"check", document, L"--installed"},
        {L"check", document, L"--installed", L"1.1.516"},
        {L"check", document, L"--installed", L"1.1.516.x"},
        {L"check", document, L"--verbose"},
        {L"check", document, L"--online=yes"},
        {L"check", document, L"--public-key"},
        {L"check", document, L"--public-key", L"key.pub"},
    };
    for (const auto& args : commands) {
        release::CommandOutput result = release::RunRelease(args);
        EXPECT_EQ(result.exitCode, release::kExitBadCommand) << args.size() << " " << result.out;
        EXPECT_NE(result.err.find("tarsel-release: "), std::string::npos) << result.err;
    }
}

TEST(ReleaseCheck, CorruptedDocumentsNeverCrashTheCheck) {
    // Bytes flipped, cut and repeated in a valid document: the check always
    // ends with a verdict that agrees with the launcher's own reading.
    const std::string clean = CleanDocument();
    std::mt19937 random(20261209);
    TempDir dir;
    for (int round = 0; round < 300; ++round) {
        std::string document = clean;
        int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !document.empty(); ++e) {
            size_t at = random() % document.size();
            switch (random() % 4) {
            case 0:
                document[at] = static_cast<char>(random() % 256);
                break;
            case 1:
                document.erase(at, 1 + random() % 8);
                break;
            case 2:
                document.insert(at, document.substr(at, random() % 40));
                break;
            case 3:
                document.insert(at, 1, "[]{}\",:.*-0"[random() % 12]);
                break;
            }
        }
        const std::wstring path = WriteDocument(dir, document);
        release::CheckedDocument checked = release::CheckDocumentFile(path);
        ASSERT_TRUE(checked.unreadable.empty()) << checked.unreadable;
        const int lines = 1 + static_cast<int>(std::count(document.begin(), document.end(), '\n'));
        for (const release::Problem& problem : checked.problems) {
            EXPECT_GE(problem.line, 1) << document;
            EXPECT_LE(problem.line, lines) << document;
        }
        if (!checked.launcherReadsIt) {
            EXPECT_TRUE(checked.HasErrors()) << document;
        }
        // A document the launcher cannot use for anyone has an error.
        if (checked.rules.empty() && checked.launcherReadsIt) {
            EXPECT_FALSE(checked.problems.empty()) << document;
        }
        release::CommandOutput result = Check(path, {L"--installed", L"1.1.500.1"});
        EXPECT_EQ(result.exitCode, checked.HasErrors() ? release::kExitProblem : release::kExitClean) << document;
    }
}
