// CIniFile over the real private-profile functions.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "util/ini_file.h"

using testsupport::FileExists;
using testsupport::TempDir;

namespace {

TEST(CIniFile, ReadOfMissingFileIsEmptyAndCreatesNothing) {
    TempDir dir;
    CIniFile ini(dir / L"settings.ini");
    EXPECT_EQ(ini.GetString(L"base", L"ver"), L"");
    EXPECT_EQ(ini.GetInt(L"base", L"n"), 0);
    std::vector<std::wstring> names{L"stale"};
    ini.GetSectionNames(names);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(FileExists(dir / L"settings.ini"));
}

TEST(CIniFile, FirstWriteCreatesFileSectionAndKey) {
    TempDir dir;
    CIniFile ini;
    EXPECT_EQ(ini.GetFileName(), L"");
    ini.SetFileName(dir / L"settings.ini");
    EXPECT_TRUE(ini.WriteString(L"base", L"ver", L"1.1.516.220"));
    EXPECT_TRUE(FileExists(dir / L"settings.ini"));
    EXPECT_EQ(ini.GetString(L"base", L"ver"), L"1.1.516.220");
    // Another object on the same file sees it: nothing is cached.
    CIniFile other(dir / L"settings.ini");
    EXPECT_EQ(other.GetString(L"base", L"ver"), L"1.1.516.220");
}

TEST(CIniFile, NamesAreCaseInsensitive) {
    TempDir dir;
    CIniFile ini(dir / L"settings.ini");
    ASSERT_TRUE(ini.WriteString(L"Base", L"Action", L"toupdate"));
    EXPECT_EQ(ini.GetString(L"base", L"action"), L"toupdate");
    EXPECT_EQ(ini.GetString(L"BASE", L"ACTION"), L"toupdate");
    ASSERT_TRUE(ini.WriteString(L"base", L"ACTION", L"other"));
    EXPECT_EQ(ini.GetString(L"Base", L"Action"), L"other");
}

TEST(CIniFile, LongValueIsCutTo259Characters) {
    TempDir dir;
    CIniFile ini(dir / L"settings.ini");
    std::wstring value(300, L'v');
    value[258] = L'L';
    ASSERT_TRUE(ini.WriteString(L"base", L"ver", value));
    std::wstring read = ini.GetString(L"base", L"ver");
    EXPECT_EQ(read.size(), 259u);
    EXPECT_EQ(read, value.substr(0, 259));
}

TEST(CIniFile, IntegersAndDeletion) {
    TempDir dir;
    CIniFile ini(dir / L"settings.ini");
    ASSERT_TRUE(ini.WriteInt(L"base", L"n", -5));
    EXPECT_EQ(ini.GetString(L"base", L"n"), L"-5");
    EXPECT_EQ(ini.GetInt(L"base", L"n"), -5);
    ASSERT_TRUE(ini.WriteString(L"base", L"keep", L"1"));
    EXPECT_TRUE(ini.DeleteKey(L"base", L"n"));
    EXPECT_EQ(ini.GetString(L"base", L"n"), L"");
    EXPECT_EQ(ini.GetString(L"base", L"keep"), L"1");
    ASSERT_TRUE(ini.WriteString(L"other", L"a", L"2"));
    EXPECT_TRUE(ini.DeleteSection(L"base"));
    EXPECT_EQ(ini.GetString(L"base", L"keep"), L"");
    EXPECT_EQ(ini.GetString(L"other", L"a"), L"2");
}

TEST(CIniFile, SectionNamesInFileOrder) {
    TempDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"s.ini", "[base]\r\na=1\r\n[Second]\r\n[third]\r\nb=2\r\n"));
    CIniFile ini(dir / L"s.ini");
    std::vector<std::wstring> names;
    int count = ini.GetSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"base", L"Second", L"third"}));
    // "base\0Second\0third\0" : the count the system reports, without the final NUL.
    EXPECT_EQ(count, 18);
}

TEST(CIniFileLines, EveryControlCharacterBecomesASpace) {
    struct Case {
        std::wstring value;
        std::wstring line;
    };
    const Case cases[] = {
        {L"plain text = [ok]", L"plain text = [ok]"},
        {L"a\r\nb", L"a  b"},
        {L"a\nserver=x", L"a server=x"},
        {L"\r[evil]\r", L" [evil] "},
        {std::wstring(L"a\0b", 3), L"a b"},
        {L"tab\there\x7F\x85\x9F", L"tab here   "},
        {L"para\x2028line\x2029", L"para line "},
        {L"\x7248\x672C 1.2", L"\x7248\x672C 1.2"},  // ordinary text stays
    };
    for (const Case& c : cases) EXPECT_EQ(IniLineValue(c.value), c.line) << testing::PrintToString(c.value);
}

TEST(CIniFileLines, NamesThatWouldChangeTheFilesShapeAreRefused) {
    EXPECT_TRUE(IsIniName(L"base", true));
    EXPECT_TRUE(IsIniName(L"newver", false));
    EXPECT_TRUE(IsIniName(L"a=b", true));  // "=" is harmless in a section line
    EXPECT_FALSE(IsIniName(L"base]\r\n[x", true));
    EXPECT_FALSE(IsIniName(L"ba]se", true));
    EXPECT_FALSE(IsIniName(L"k\nserver", false));
    EXPECT_FALSE(IsIniName(L"server=x", false));
    EXPECT_FALSE(IsIniName(L"[base]", false));
    EXPECT_FALSE(IsIniName(L";comment", false));
}

TEST(CIniFileLines, ValueWithLineBreaksCannotAddKeysOrSections) {
    // A file without "server": a value must not plant one (the file is read
    // first key wins, so a planted key would hold for good).
    TempDir dir;
    CIniFile ini(dir / L"data.dat");
    ASSERT_TRUE(ini.WriteString(L"base", L"ver", L"1.1.516.220"));
    const std::wstring hostile = L"fixes\r\nserver=http://evil.invalid\r\n[evil]\r\nk=v\n[base]\nver=9.9.9.9\r";
    ASSERT_TRUE(ini.WriteString(L"base", L"desc", hostile));
    EXPECT_EQ(ini.GetString(L"base", L"server"), L"");
    EXPECT_EQ(ini.GetString(L"base", L"ver"), L"1.1.516.220");
    EXPECT_EQ(ini.GetString(L"evil", L"k"), L"");
    std::vector<std::wstring> sections;
    ini.GetSectionNames(sections);
    EXPECT_EQ(sections, std::vector<std::wstring>{L"base"});
    // The whole value is kept, on one line.
    EXPECT_EQ(ini.GetString(L"base", L"desc"), L"fixes  server=http://evil.invalid  [evil]  k=v [base] ver=9.9.9.9");

    EXPECT_FALSE(ini.WriteString(L"base", L"x\r\nserver", L"http://evil.invalid"));
    EXPECT_FALSE(ini.WriteString(L"base]\r\n[evil", L"k", L"v"));
    EXPECT_EQ(ini.GetString(L"base", L"server"), L"");
    ini.GetSectionNames(sections);
    EXPECT_EQ(sections, std::vector<std::wstring>{L"base"});
}

}  // namespace
