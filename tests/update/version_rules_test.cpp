// The version rules that decide whether anyone is ever offered an update:
// numeric comparison, patterns, and the scans of the version folders.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>

#include "support/temp_dir.h"
#include "update/update_matcher.h"

using testsupport::TempDir;

namespace {

TEST(VersionRules, SplitVersionReadsFieldsAndRefusesMalformedTexts) {
    struct Case {
        const char* text;
        std::vector<int> numbers;
    };
    const Case cases[] = {
        {"1.1.516.220", {1, 1, 516, 220}},
        {"0.0.0.0", {0, 0, 0, 0}},
        {"1.2.3", {1, 2, 3}},
        {"7", {7}},  // no dot: one field
        {"", {}},
        {"1.2.3.4.5", {1, 2, 3, 4, 5}},
        {"01.002.0516.0220", {1, 2, 516, 220}},
        {" 1.+2.-3.4x", {1, 2, -3, 4}},  // atoi's reading of each field
        {"a.b.c.d", {0, 0, 0, 0}},
        {"1..2.3", {}},  // an empty field makes the whole text no version
        {".1.2.3", {}},
        {"1.2.3.", {}},
        {".", {}},
        {"1.0.0.99999999999", {1, 0, 0, INT_MAX}},  // saturates, never wraps
        {"1.0.0.2147483647", {1, 0, 0, INT_MAX}},
        {"1.0.0.-2147483648", {1, 0, 0, INT_MIN}},
        {"1.0.0.-99999999999", {1, 0, 0, INT_MIN}},
        {"1.0.0.4294967297", {1, 0, 0, INT_MAX}},  // 2^32 + 1 would wrap to 1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateMatcher::SplitVersion(c.text), c.numbers) << '"' << c.text << '"';
    }
}

TEST(VersionRules, MaxVersionComparesNumericallyAndFavoursTheFirstOnTies) {
    struct Case {
        const char* first;
        const char* second;
        const char* expected;
    };
    const Case cases[] = {
        {"1.2.3.4", "1.2.3.10", "1.2.3.10"},  // numeric, not textual
        {"1.2.3.10", "1.2.3.4", "1.2.3.10"},
        {"1.2.3.4", "1.2.3.4", "1.2.3.4"},
        {"1.0.0.1", "1.0.0.01", "1.0.0.1"},  // tie: the first argument
        {"1.0.0.01", "1.0.0.1", "1.0.0.01"},
        {"", "1.0.0.0", ""},                 // not comparable: the first
        {"1.0.0.0", "1.0", "1.0.0.0"},
        {"1.0", "2.0.0.0", "1.0"},
        {"2.0.0.0", "10.0.0.0", "10.0.0.0"},
        {"1.9.9.9", "2.0.0.0", "2.0.0.0"},
        {"1.1.516.220", "1.1.517.0", "1.1.517.0"},
        {"1.1.516.220", "1.1.516.219", "1.1.516.220"},
        {"1.0.0.5", "1.0.0.4294967297", "1.0.0.4294967297"},  // a huge field stays huge
        {"1.0.0.5", "1.0.0.5.1", "1.0.0.5"},
        {"1.0..5", "9.9.9.9", "1.0..5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateMatcher::MaxVersion(c.first, c.second), c.expected) << c.first << " vs " << c.second;
    }
}

TEST(VersionRules, MatchVersionFieldWildcardRangesAndLiterals) {
    struct Case {
        const char* value;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"516", "*", true},
        {"", "*", true},
        {"516", "**", false},
        {"200", "[200-300]", true},  // both ends included
        {"300", "[200-300]", true},
        {"199", "[200-300]", false},
        {"301", "[200-300]", false},
        {"5", "[9-1]", false},  // low above high matches nothing
        {"0516", "[500-600]", true},
        {"516", "[0-515]", false},
        {"10", "10", true},
        {"10", "010", false},  // literals compare as text
        {"0516", "0516", true},
        {"516", "0516", false},
        {"5", "[5]", false},  // not a range: a literal
        {"[5-6]", "[5-6]", false},  // a range is never compared as text
        {"5", "[ 1-9]", false},
        {"5", "[-1-9]", false},
        {"5", "[1-9", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateMatcher::MatchVersionField(c.value, c.pattern), c.matches) << c.value << " ~ " << c.pattern;
    }
}

TEST(VersionRules, MatchVersionNeedsFourNumericFieldsAndFourPatternFields) {
    struct Case {
        const char* version;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"1.1.516.220", "*.*.*.*", true},
        {"1.1.516.220", "1.1.*.[200-300]", true},
        {"1.1.516.220", "1.1.*.[221-300]", false},
        {"1.1.516.220", "1.1.[0-515].*", false},
        {"1.1.515.220", "1.1.[0-515].*", true},
        {"1.1.516.220", "1.1.516", false},       // three-field pattern
        {"1.1.516", "*.*.*.*", false},           // three-field version
        {"1.1.516.220", "1.1.0516.220", false},  // literal 0516 is not 516
        {"1.1.0516.220", "1.1.0516.220", true},
        {"1.1.516.220", "1.1.516.220", true},
        {"1.2.3.4", "1.2.3.4.5", false},  // groups "1.2", "3", "4", "5"
        {"9.3.4.5", "*.3.4.5", true},
        {"1.3.4.5", "1.2.3.4.5", false},
        {"12.3.4.5", "[1-20].3.4.5", true},
        {"1.1.516.220", "*.*.*.* ", false},  // white space is never part of a pattern
        {"1.1.516.220 ", "*.*.*.*", false},
        {"1.1.516.220beta", "*.*.*.*", false},
        {"-1.1.516.220", "*.*.*.*", false},
        {"", "*.*.*.*", false},
        {"1.1.516.220", "", false},
        {"1.1.516.220", "...", false},
        {"1.1.516.220", "*.*..*", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateMatcher::MatchVersion(c.version, c.pattern), c.matches) << c.version << " ~ " << c.pattern;
    }
}

TEST(VersionRules, FolderScansIgnoreNamesThatAreNotFourNumbers) {
    struct Case {
        std::vector<const wchar_t*> folders;
        const char* newest;
        const char* second;
    };
    const Case cases[] = {
        {{}, "", ""},
        {{L"1.0.0.5"}, "1.0.0.5", ""},
        {{L"1.0.0.5", L"1.0.0.7"}, "1.0.0.7", "1.0.0.5"},
        {{L"1.0.0.9", L"1.0.0.10"}, "1.0.0.10", "1.0.0.9"},
        {{L"1.0.0.1beta", L"1.0.0", L"Common", L"1.0.0.1.2", L"1.0.0.x"}, "", ""},
        {{L"0.0.0.0"}, "0.0.0.0", ""},
        {{L"0.0.0.0", L"1.0.0.1beta", L"Common"}, "0.0.0.0", ""},
        {{L"2.0.0.1", L"2.0.0.3", L"2.0.0.2", L"2.0.0.3beta", L"9.9.9"}, "2.0.0.3", "2.0.0.2"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const wchar_t* name : c.folders) ASSERT_TRUE(::CreateDirectoryW((dir / name).c_str(), nullptr));
        // Plain files with version names, and a hidden-style dot folder, are
        // never installed versions.
        ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"9.9.9.9", "not a folder"));
        ASSERT_TRUE(::CreateDirectoryW((dir / L".1.0.0.1").c_str(), nullptr));
        EXPECT_EQ(UpdateMatcher::GetNewestVersionIn(dir.path()), c.newest);
        EXPECT_EQ(UpdateMatcher::GetSecondNewestVersionIn(dir.path()), c.second);
    }
    EXPECT_EQ(UpdateMatcher::GetNewestVersionIn(L"C:\\no such folder\\"), "");
}

TEST(VersionRules, SecondNewestDoesNotDependOnListingOrder) {
    std::vector<std::string> names = {"2.0.0.1", "2.0.0.2", "2.0.0.3", "1.9.9.9", "x"};
    std::sort(names.begin(), names.end());
    do {
        EXPECT_EQ(UpdateMatcher::NewestVersionOf(names), "2.0.0.3");
        EXPECT_EQ(UpdateMatcher::SecondNewestVersionOf(names), "2.0.0.2");
    } while (std::next_permutation(names.begin(), names.end()));
}

TEST(VersionRules, ScansVisitTheListingFromTheEndSoTiesKeepTheLastListed) {
    EXPECT_EQ(UpdateMatcher::NewestVersionOf({"1.0.0.1", "1.0.0.01"}), "1.0.0.01");
    EXPECT_EQ(UpdateMatcher::NewestVersionOf({"1.0.0.01", "1.0.0.1"}), "1.0.0.1");
}

}  // namespace
