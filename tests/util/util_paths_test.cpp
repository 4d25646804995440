// The exact string forms of the path helpers: callers glue them together
// with "%s%s\\%s", so a missing or doubled backslash breaks every path.
#include <gtest/gtest.h>
#include <windows.h>

#include "util/util.h"

namespace {

struct PathCase {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(UtilPaths, GetParentDirFollowsGenericPathElements) {
    const PathCase cases[] = {
        {L"C:\\A\\B\\file.exe", L"C:\\A\\B\\"},
        {L"C:\\A\\B", L"C:\\A\\"},
        {L"C:\\A\\B\\", L"C:\\A\\B\\"},  // trailing separator: last element is "."
        {L"C:\\", L"C:\\"},
        {L"C:\\A", L"C:\\"},  // the root keeps a single backslash
        {L"file.exe", L"\\"},
        {L"", L"\\"},
        {L"C:/A/B/file.exe", L"C:\\A\\B\\"},  // slashes count as separators
        {L"bin\\32bit\\Tarsel32.exe", L"bin\\32bit\\"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(Util::GetParentDir(c.input), c.expected) << "input: " << testing::PrintToString(std::wstring(c.input));
    }
}

TEST(UtilPaths, GetParentDirKeepsShareAndLongPathRoots) {
    // A launcher started from a share by an elevated process (which does
    // not see the user's mapped drives) lives under \\server\share\. The
    // share is a root as C:\ is: both leading backslashes stay.
    const PathCase cases[] = {
        {L"\\\\srv\\share\\Tarsel\\Launcher.exe", L"\\\\srv\\share\\Tarsel\\"},
        {L"\\\\srv\\share\\Tarsel\\", L"\\\\srv\\share\\Tarsel\\"},
        {L"\\\\srv\\share\\Tarsel", L"\\\\srv\\share\\"},
        {L"\\\\srv\\share\\", L"\\\\srv\\share\\"},
        {L"\\\\srv\\share", L"\\\\srv\\share\\"},
        {L"\\\\srv", L"\\\\srv\\"},
        {L"//srv/share/Tarsel/x.exe", L"\\\\srv\\share\\Tarsel\\"},
        {L"\\\\?\\C:\\A\\B\\file.exe", L"\\\\?\\C:\\A\\B\\"},
        {L"\\\\?\\C:\\A", L"\\\\?\\C:\\"},
        {L"\\\\?\\C:\\", L"\\\\?\\C:\\"},
        {L"\\\\?\\UNC\\srv\\share\\A\\x.exe", L"\\\\?\\UNC\\srv\\share\\A\\"},
        {L"\\\\?\\unc\\srv\\share\\A", L"\\\\?\\unc\\srv\\share\\"},
        {L"\\\\?\\UNC\\srv\\share\\", L"\\\\?\\UNC\\srv\\share\\"},
        {L"\\\\?\\UNC\\srv\\share", L"\\\\?\\UNC\\srv\\share\\"},
        {L"\\\\.\\C:\\A\\B", L"\\\\.\\C:\\A\\"},
        {L"\\\\?\\Volume{0a1b}\\A\\B", L"\\\\?\\Volume{0a1b}\\A\\"},
        // Malformed roots never lose or double a backslash.
        {L"\\\\?\\", L"\\\\?\\"},
        {L"\\\\?\\UNC\\", L"\\\\?\\UNC\\"},
        {L"\\\\srv\\", L"\\\\srv\\"},
        {L"\\\\\\x\\y", L"\\x\\"},  // three separators: no server
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(Util::GetParentDir(c.input), c.expected) << "input: " << testing::PrintToString(std::wstring(c.input));
    }
}

TEST(UtilPaths, FileDirNameAndBackslashOnShareForms) {
    EXPECT_EQ(Util::GetFileDir(L"\\\\srv\\share\\T\\1.0.0.1\\bin\\Tarsel32.exe"), L"\\\\srv\\share\\T\\1.0.0.1\\bin");
    EXPECT_EQ(Util::GetFileDir(L"\\\\?\\UNC\\srv\\share\\T\\x.exe"), L"\\\\?\\UNC\\srv\\share\\T");
    EXPECT_EQ(Util::GetPathFileName(L"\\\\srv\\share\\T\\x.exe"), L"x.exe");
    EXPECT_EQ(Util::GetPathFileName(L"\\\\?\\C:\\x.exe"), L"x.exe");
    const PathCase backslash[] = {
        {L"\\\\srv\\share", L"\\\\srv\\share\\"},
        {L"\\\\srv\\share\\", L"\\\\srv\\share\\"},
        {L"\\\\?\\UNC\\srv\\share\\T", L"\\\\?\\UNC\\srv\\share\\T\\"},
    };
    for (const PathCase& c : backslash) {
        std::wstring path = c.input;
        Util::AddBackslash(path);
        EXPECT_EQ(path, c.expected);
    }
}

TEST(UtilPaths, GetParentDirOfModuleDirWithAndWithoutBackslash) {
    std::wstring dir = Util::GetModuleDir();
    ASSERT_GE(dir.size(), 4u);
    ASSERT_EQ(dir.back(), L'\\');
    EXPECT_EQ(Util::GetParentDir(dir), dir);
    std::wstring withoutSlash = dir.substr(0, dir.size() - 1);
    std::wstring upOne = withoutSlash.substr(0, withoutSlash.rfind(L'\\') + 1);
    EXPECT_EQ(Util::GetParentDir(withoutSlash), upOne);
}

TEST(UtilPaths, GetModuleDirIsTheExecutablesFolder) {
    wchar_t name[MAX_PATH];
    GetModuleFileNameW(nullptr, name, MAX_PATH);
    std::wstring full = name;
    EXPECT_EQ(Util::GetModuleDir(), full.substr(0, full.rfind(L'\\') + 1));
}

TEST(UtilPaths, GetFileDirAndGetPathFileName) {
    EXPECT_EQ(Util::GetFileDir(L"C:\\A\\B\\file.exe"), L"C:\\A\\B");
    EXPECT_EQ(Util::GetFileDir(L"Tarsel32.exe"), L"");
    EXPECT_EQ(Util::GetFileDir(L"bin\\32bit\\Tarsel32.exe"), L"bin\\32bit");
    EXPECT_EQ(Util::GetFileDir(L"C:\\A\\"), L"C:\\A");
    EXPECT_EQ(Util::GetPathFileName(L"C:\\A\\B\\file.exe"), L"file.exe");
    EXPECT_EQ(Util::GetPathFileName(L"file.exe"), L"file.exe");
    EXPECT_EQ(Util::GetPathFileName(L"C:\\A\\"), L"");
}

TEST(UtilPaths, AddBackslashOnlyAfterALastElement) {
    const PathCase cases[] = {
        {L"C:\\A", L"C:\\A\\"},
        {L"C:\\A\\", L"C:\\A\\"},
        {L"C:", L"C:"},  // no backslash at all: unchanged
        {L"", L""},
        {L"name", L"name"},
        {L"\\x", L"\\x\\"},
    };
    for (const PathCase& c : cases) {
        std::wstring path = c.input;
        Util::AddBackslash(path);
        EXPECT_EQ(path, c.expected);
    }
}

TEST(UtilText, Utf8ToAnsiUsesCodePage936AndStopsAtNul) {
    // The suite runs with the Chinese ANSI code page, as the system's texts assume.
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_EQ(Util::Utf8ToAnsi("abc"), "abc");
    EXPECT_EQ(Util::Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87" /* 中文 */), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(Util::Utf8ToAnsi(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(Util::Utf8ToAnsi(""), "");
    // A character the code page lacks becomes the default character "?".
    EXPECT_EQ(Util::Utf8ToAnsi("\xE0\xB8\x81t\xE0\xB8\x81" /* Thai ko kai */), "?t?");
}

TEST(UtilText, WideConversionsRoundTrip) {
    std::wstring text = L"\u7248\u672c 1.2";  // 版本 1.2
    EXPECT_EQ(Util::Utf8ToWide(Util::WideToUtf8(text)), text);
    EXPECT_EQ(Util::AnsiToWide(Util::WideToAnsi(text)), text);
}

}  // namespace
