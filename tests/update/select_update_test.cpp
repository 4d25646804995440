// Choosing the rule for the running version: newer-or-same-text packages,
// the last applying rule, and the "ver" fill-in from the version folders.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/temp_dir.h"
#include "update/update_config.h"
#include "update_document.h"
#include "util/ini_file.h"

using testsupport::TempDir;

namespace {

// A launcher folder of its own with a data file in it.
struct LauncherFolder {
    TempDir dir;
    CIniFile data{dir / L"TarselMainLauncher.dat"};

    void SetVersion(const wchar_t* version) { data.WriteString(L"base", L"ver", version); }
    void AddVersionFolder(const wchar_t* name) { ::CreateDirectoryW((dir / name).c_str(), nullptr); }

    bool Select(UpdateMatcher& matcher) { return SelectUpdate(matcher, data, dir.path()); }
};

UpdateInfoList ParseRules(const std::vector<std::pair<std::string, std::string>>& rules) {
    TempDir dir;
    UpdateInfoList list;
    EXPECT_TRUE(ParseUpdateConfig(list, updatetest::WriteDocument(dir, updatetest::DocumentWithRules(rules))));
    return list;
}

TEST(SelectUpdate, PackageMustBeNewerOrTheSameText) {
    struct Case {
        const char* newVersion;
        bool applies;
    };
    const Case cases[] = {
        {"1.1.516.220", true},    // the very same text
        {"1.1.516.219", false},   // older
        {"1.1.517.0", true},      // newer
        {"1.1.516.221", true},
        {"2.0.0.0", true},
        {"1.1.516.0220", false},  // numerically equal, different text
        {"", false},              // no package
        {"1.1.517", false},       // not comparable
        {"1.1.516.220 ", false},
    };
    for (const Case& c : cases) {
        LauncherFolder folder;
        folder.SetVersion(L"1.1.516.220");
        UpdateInfoList list = ParseRules({{"*.*.*.*", c.newVersion}});
        UpdateMatcher matcher(&list);
        EXPECT_EQ(folder.Select(matcher), c.applies) << c.newVersion;
        EXPECT_EQ(matcher.GetSelected()["md5"], c.applies ? "MD5_0" : "") << c.newVersion;
    }
}

TEST(SelectUpdate, LastApplyingRuleWins) {
    LauncherFolder folder;
    folder.SetVersion(L"1.1.516.220");
    UpdateInfoList list = ParseRules({
        {"1.1.*.*", "1.1.600.0"},
        {"1.1.[500-520].*", "1.1.601.0"},
        {"1.1.[0-515].*", "1.1.602.0"},  // does not match 516
        {"*.*.*.*", "1.0.0.0"},          // older: does not apply
    });
    UpdateMatcher matcher(&list);
    ASSERT_TRUE(folder.Select(matcher));
    EXPECT_EQ(matcher.GetSelected()["md5"], "MD5_1");
    EXPECT_EQ(matcher.GetSelected()["newversion"], "1.1.601.0");
    EXPECT_EQ(matcher.GetSelected()["url"], "http://h/MD5_1.exe");
}

TEST(SelectUpdate, NothingApplyingKeepsTheEarlierChoice) {
    LauncherFolder folder;
    folder.SetVersion(L"1.1.516.220");
    UpdateInfoList none = ParseRules({{"2.*.*.*", "3.0.0.0"}});
    UpdateMatcher matcher(&none);
    matcher.SetSelected({{"md5", "earlier"}});
    EXPECT_FALSE(folder.Select(matcher));
    EXPECT_EQ(matcher.GetSelected().at("md5"), "earlier");

    UpdateInfoList empty;
    matcher.SetEntries(&empty);
    EXPECT_FALSE(folder.Select(matcher));
    matcher.SetEntries(nullptr);
    EXPECT_FALSE(folder.Select(matcher));
    EXPECT_EQ(matcher.GetSelected().at("md5"), "earlier");
}

TEST(SelectUpdate, EmptyVersionIsFilledFromTheNewestVersionFolder) {
    LauncherFolder folder;
    folder.AddVersionFolder(L"1.0.0.5");
    folder.AddVersionFolder(L"1.0.0.7");
    folder.AddVersionFolder(L"1.0.0.9beta");
    folder.AddVersionFolder(L"Common");
    UpdateInfoList list = ParseRules({{"1.0.0.[7-7]", "1.0.0.8"}, {"1.0.0.[5-5]", "1.0.0.9"}});
    UpdateMatcher matcher(&list);
    ASSERT_TRUE(folder.Select(matcher));
    EXPECT_EQ(folder.data.GetString(L"base", L"ver"), L"1.0.0.7");
    EXPECT_EQ(matcher.GetSelected()["md5"], "MD5_0");
}

TEST(SelectUpdate, RecordedVersionIsUsedEvenWhenNewerFoldersExist) {
    LauncherFolder folder;
    folder.SetVersion(L"1.0.0.5");
    folder.AddVersionFolder(L"1.0.0.7");
    UpdateInfoList list = ParseRules({{"1.0.0.5", "1.0.0.6"}});
    UpdateMatcher matcher(&list);
    EXPECT_TRUE(folder.Select(matcher));
    EXPECT_EQ(folder.data.GetString(L"base", L"ver"), L"1.0.0.5");
}

TEST(SelectUpdate, NoVersionAnywhereMatchesNothingAndWritesNothing) {
    LauncherFolder folder;
    folder.AddVersionFolder(L"Common");
    UpdateInfoList list = ParseRules({{"*.*.*.*", "9.9.9.9"}});
    UpdateMatcher matcher(&list);
    EXPECT_FALSE(folder.Select(matcher));
    EXPECT_FALSE(testsupport::FileExists(folder.dir / L"TarselMainLauncher.dat"));
}

}  // namespace
