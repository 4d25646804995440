// tarsel-release add: new documents, documents kept as written, refusals
// that leave the document byte for byte as it was, and wrong commands.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "digest/md5.h"
#include "release_test_support.h"
#include "support/http_test_servers.h"
#include "update/update_config.h"
#include "util/unique_handle.h"
#include "util/util.h"

using namespace releasetest;
using testsupport::TempDir;

namespace {

const std::wstring kUrl = L"http://updates.invalid/Tarsel_Setup_1.1.600.10.exe";

struct Installer {
    TempDir dir;
    std::string bytes = testsupport::PatternBytes(70000, 18);
    std::wstring path = dir / L"Tarsel_Setup.exe";
    std::string md5;
    Installer() {
        testsupport::WriteFileBytes(path, bytes);
        md5 = Md5OfBytes(bytes.data(), bytes.size());
        for (char& c : md5) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
};

std::vector<std::wstring> AddArgs(const std::wstring& config, const std::wstring& installer,
                                  const std::wstring& pattern = L"1.1.[0-599].*", const std::wstring& url = kUrl) {
    return {L"add",
            L"--config",
            config,
            L"--installer",
            installer,
            L"--url",
            url,
            L"--version",
            L"1.1.600.10",
            L"--for",
            pattern,
            L"--type",
            L"Prompt",
            L"--desc",
            L"全新的直播间",
            L"--desc",
            L"Quote \" and \\ kept",
            L"--image",
            L"http://img.invalid/a.png"};
}

UpdateInfoList ReadAsLauncher(const std::wstring& path) {
    TempDir dir;
    std::wstring copy = dir / L"~rqz_copy.tmp";
    ::CopyFileW(path.c_str(), copy.c_str(), FALSE);
    UpdateInfoList rules;
    EXPECT_TRUE(ParseUpdateConfig(rules, Util::WideToAnsi(copy)));
    return rules;
}

std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    Util::UniqueFind find(::FindFirstFileW((dir + L"*").c_str(), &found));
    if (!find) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
    return names;
}

}  // namespace

TEST(ReleaseAdd, CreatesADocumentThatChecksClean) {
    Installer installer;
    TempDir site;
    const std::wstring config = site / L"Update.cfg";
    release::CommandOutput added = release::RunRelease(AddArgs(config, installer.path));
    ASSERT_EQ(added.exitCode, release::kExitClean) << added.out << added.err;
    EXPECT_NE(added.out.find("created "), std::string::npos) << added.out;
    EXPECT_NE(added.out.find("added package " + installer.md5), std::string::npos) << added.out;
    EXPECT_NE(added.out.find("added rule 1: installed versions 1.1.[0-599].*"), std::string::npos) << added.out;

    UpdateInfoList rules = ReadAsLauncher(config);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0]["md5"], installer.md5);
    EXPECT_EQ(rules[0]["type"], "Prompt");
    EXPECT_EQ(rules[0]["version"], "1.1.[0-599].*");
    EXPECT_EQ(rules[0]["url"], Util::WideToAnsi(kUrl));
    EXPECT_EQ(rules[0]["newversion"], "1.1.600.10");
    EXPECT_EQ(rules[0]["imgs"], "http://img.invalid/a.png;");
    EXPECT_EQ(rules[0]["desc"], Util::Utf8ToAnsi("全新的直播间") + ";Quote \" and \\ kept;");
    // UTF-8 text in the file itself, indented one member a line.
    const std::string text = testsupport::ReadFileBytes(config);
    EXPECT_NE(text.find("\n  \"Configs\": [\n    { \"TargetMD5\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"全新的直播间\""), std::string::npos) << text;

    release::CommandOutput checked = Check(config);
    EXPECT_EQ(checked.exitCode, release::kExitClean) << checked.out;
    EXPECT_TRUE(ProblemsIn(checked.out).empty()) << checked.out;
    // Nothing but the document is left in its folder.
    EXPECT_EQ(FilesIn(site.path()), std::vector<std::wstring>{L"Update.cfg"});
}

TEST(ReleaseAdd, KeepsWhatIsAlreadyThere) {
    Installer installer;
    TempDir site;
    const std::string before =
        "// Tarsel update rules: keep the oldest first\n"
        "{\n"
        "    \"Configs\": [\n"
        "        { \"TargetMD5\": \"" +
        Md5For(7) +
        "\", \"Type\": \"Force\", \"VersionUpdate\": \"1.0.*.*\" } // old clients\n"
        "    ],\n"
        "    \"Targets\": {\n"
        "        \"" +
        Md5For(7) +
        "\": { \"Version\": \"1.1.500.0\", \"ExeUrl\": \"http://updates.invalid/old.exe\" }\n"
        "    },\n"
        "    \"Zeta\": \"a member of the engineer's own\"\n"
        "}\n";
    const std::wstring config = WriteDocument(site, before);
    release::CommandOutput added = release::RunRelease(AddArgs(config, installer.path));
    ASSERT_EQ(added.exitCode, release::kExitClean) << added.out << added.err;
    EXPECT_NE(added.out.find("added rule 2: "), std::string::npos) << added.out;
    const std::string after = testsupport::ReadFileBytes(config);
    // Every line of the old document is still there, in its order.
    size_t at = 0;
    for (const char* line : {"// Tarsel update rules", "\"1.0.*.*\" }, // old clients\n        { \"TargetMD5\"",
                             "\"Version\": \"1.1.500.0\", \"ExeUrl\"", "\"Zeta\": \"a member"}) {
        size_t found = after.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << after;
        at = found;
    }
    EXPECT_NE(after.find("// old clients\n        { \"TargetMD5\": \"" + installer.md5), std::string::npos) << after;
    EXPECT_NE(after.find(",\n        \"" + installer.md5 + "\": {\n            \"ExeUrl\""), std::string::npos)
        << after;
    UpdateInfoList rules = ReadAsLauncher(config);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0]["md5"], Md5For(7));
    EXPECT_EQ(rules[1]["md5"], installer.md5);

    // The same installer for more versions: the package stays, a rule joins.
    release::CommandOutput again = release::RunRelease(AddArgs(config, installer.path, L"1.0.*.*"));
    ASSERT_EQ(again.exitCode, release::kExitClean) << again.out << again.err;
    EXPECT_NE(again.out.find("kept package " + installer.md5), std::string::npos) << again.out;
    rules = ReadAsLauncher(config);
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[2]["url"], Util::WideToAnsi(kUrl));
    // The first rule is now hidden by the last: the check says so.
    release::CommandOutput checked = Check(config);
    std::vector<Listed> listed = ProblemsIn(checked.out);
    ASSERT_EQ(listed.size(), 1u) << checked.out;
    EXPECT_EQ(listed[0].line, 4);
    EXPECT_NE(listed[0].text.find("hidden by later rule 3"), std::string::npos) << checked.out;
}

TEST(ReleaseAdd, LeavesADocumentItCannotTakeUntouched) {
    Installer installer;
    struct Case {
        const char* what;
        std::string document;
        int exitCode;
    };
    const Case cases[] = {
        {"not JSON", "{ \"Configs\": [ ", release::kExitProblem},
        {"an array", "[]", release::kExitProblem},
        {"Configs not an array", "{ \"Configs\": {} }", release::kExitProblem},
        {"the package listed elsewhere",
         "{ \"Targets\": { \"" + installer.md5 +
             "\": { \"ExeUrl\": \"http://other.invalid/x.exe\", \"Version\": \"1.1.600.10\" } } }",
         release::kExitProblem},
    };
    for (const Case& c : cases) {
        TempDir site;
        const std::wstring config = WriteDocument(site, c.document);
        release::CommandOutput result = release::RunRelease(AddArgs(config, installer.path));
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << "\n" << result.out << result.err;
        EXPECT_NE(result.err.find("left unchanged"), std::string::npos) << c.what << "\n" << result.err;
        EXPECT_EQ(testsupport::ReadFileBytes(config), c.document) << c.what;
        EXPECT_EQ(FilesIn(site.path()).size(), 1u) << c.what;
    }
}

TEST(ReleaseAdd, NeverChangesADocumentItCannotRead) {
    Installer installer;
    TempDir site;
    const std::string before = Document({Rule(Md5For(1), "Prompt", "1.0.*.*")},
                                        {Package(Md5For(1), "http://updates.invalid/a.exe", "1.1.0.0")});
    const std::wstring config = WriteDocument(site, before);
    {
        // Another program holds it open without sharing reads.
        Util::UniqueFile held(::CreateFileW(config.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        release::CommandOutput result = release::RunRelease(AddArgs(config, installer.path));
        EXPECT_EQ(result.exitCode, release::kExitBadCommand) << result.out;
        EXPECT_NE(result.err.find("cannot read"), std::string::npos) << result.err;
        release::CommandOutput checked = Check(config);
        EXPECT_EQ(checked.exitCode, release::kExitBadCommand) << checked.out;
    }
    EXPECT_EQ(testsupport::ReadFileBytes(config), before);
    EXPECT_EQ(FilesIn(site.path()).size(), 1u);
}

TEST(ReleaseAdd, WrongCommandsChangeNothing) {
    Installer installer;
    TempDir site;
    const std::wstring config = site / L"Update.cfg";
    const std::wstring empty = site / L"empty.exe";
    testsupport::WriteFileBytes(empty, "");
    auto with = [&](const std::wstring& option, const std::wstring& value) {
        std::vector<std::wstring> args = AddArgs(config, installer.path);
        for (size_t i = 0; i + 1 < args.size(); ++i) {
            if (args[i] == option) args[i + 1] = value;
        }
        return args;
    };
    auto without = [&](const std::wstring& option) {
        std::vector<std::wstring> args = AddArgs(config, installer.path);
        for (size_t i = 0; i + 1 < args.size(); ++i) {
            if (args[i] == option) {
                args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                           args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            }
        }
        return args;
    };
    const std::vector<std::vector<std::wstring>> commands = {
        with(L"--type", L"Later"),
        with(L"--type", L"prompt"),
        with(L"--version", L"1.1.600"),
        with(L"--version", L"1.1.0600.10"),
        with(L"--for", L"1.1.*"),
        with(L"--for", L"1.1.[9-1].*"),
        with(L"--url", L"ftp://updates.invalid/x.exe"),
        with(L"--installer", site / L"missing.exe"),
        with(L"--installer", empty),
        without(L"--config"),
        without(L"--installer"),
        without(L"--url"),
        without(L"--for"),
        {L"add", L"--config"},
        {L"add", L"--config", config, L"--sign"},
    };
    for (const auto& args : commands) {
        release::CommandOutput result = release::RunRelease(args);
        EXPECT_EQ(result.exitCode, release::kExitBadCommand) << result.out << result.err;
        EXPECT_NE(result.err.find("tarsel-release: "), std::string::npos);
        EXPECT_FALSE(testsupport::FileExists(config));
    }
}

TEST(ReleaseAdd, CorruptedDocumentsAreRefusedOrExtendedWhole) {
    // Whatever the existing text, add either leaves it byte for byte as it
    // was or writes a document whose earlier rules read as before, with the
    // new rule last.
    Installer installer;
    const std::string clean = "/* rules */ {\n  \"Configs\": [\n    " + Rule(Md5For(1), "Prompt", "1.0.*.*") +
                              ", // first\n    " + Rule(Md5For(2), "Force", "1.1.[0-9].*") +
                              "\n  ],\n  \"Targets\": { " +
                              Package(Md5For(1), "http://updates.invalid/a.exe", "1.1.0.0") + ",\n    " +
                              Package(Md5For(2), "http://updates.invalid/b.exe", "1.2.0.0") + " }\n}\n";
    std::mt19937 random(600010);
    int extended = 0;
    for (int round = 0; round < 120; ++round) {
        std::string document = clean;
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !document.empty(); ++e) {
            size_t at = random() % document.size();
            switch (random() % 3) {
            case 0:
                document[at] = "[]{}\",:/* \n"[random() % 12];
                break;
            case 1:
                document.erase(at, 1 + random() % 6);
                break;
            case 2:
                document.insert(at, document.substr(at, random() % 30));
                break;
            }
        }
        TempDir site;
        const std::wstring config = WriteDocument(site, document);
        UpdateInfoList before;
        {
            TempDir copyDir;
            testsupport::WriteFileBytes(copyDir / L"~rqz_before.tmp", document);
            ParseUpdateConfig(before, Util::WideToAnsi(copyDir / L"~rqz_before.tmp"));
        }
        release::CommandOutput result = release::RunRelease(AddArgs(config, installer.path));
        if (result.exitCode != release::kExitClean) {
            EXPECT_EQ(result.exitCode, release::kExitProblem) << result.err;
            EXPECT_EQ(testsupport::ReadFileBytes(config), document);
            continue;
        }
        ++extended;
        UpdateInfoList after = ReadAsLauncher(config);
        ASSERT_EQ(after.size(), before.size() + 1) << document << "\n---\n" << testsupport::ReadFileBytes(config);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin())) << document;
        EXPECT_EQ(after.back()["md5"], installer.md5);
        EXPECT_EQ(FilesIn(site.path()).size(), 1u);
    }
    EXPECT_GT(extended, 0);  // some corruptions (inside strings, blanks) leave usable documents
}
