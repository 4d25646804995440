// File-system helpers against real folders in the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "support/temp_dir.h"
#include "util/util.h"

using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

TEST(UtilFiles, DirectoryExistsWithAndWithoutTrailingBackslash) {
    TempDir dir;
    std::wstring sub = dir / L"sub";
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir / L"plain.txt", "x"));
    EXPECT_TRUE(Util::DirectoryExists(sub));
    EXPECT_TRUE(Util::DirectoryExists(sub + L"\\"));
    EXPECT_FALSE(Util::DirectoryExists(dir / L"plain.txt"));
    EXPECT_FALSE(Util::DirectoryExists(dir / L"missing"));
    EXPECT_FALSE(Util::DirectoryExists(L""));
}

TEST(UtilFiles, GetFileSize32MissingAndEmptyBothZero) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"empty", ""));
    ASSERT_TRUE(WriteFileBytes(dir / L"five", "12345"));
    EXPECT_EQ(Util::GetFileSize32(dir / L"empty"), 0u);
    EXPECT_EQ(Util::GetFileSize32(dir / L"missing"), 0u);
    EXPECT_EQ(Util::GetFileSize32(dir / L"five"), 5u);
}

TEST(UtilFiles, ListSubdirectoriesSkipsDotFoldersAndFiles) {
    TempDir dir;
    ASSERT_TRUE(CreateDirectoryW((dir / L"1.0.1").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((dir / L".cache").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir / L"x.txt", "x"));
    std::vector<std::wstring> out{L"kept"};
    Util::ListSubdirectories(dir.path(), out, false, false);
    EXPECT_EQ(out, (std::vector<std::wstring>{L"kept", L"1.0.1"}));  // appended, not cleared
}

TEST(UtilFiles, ListSubdirectoriesRecursesInPreOrderWithFullPaths) {
    TempDir dir;
    for (const wchar_t* name : {L"a", L"a\\a1", L"a\\a1\\deep", L"b", L"a\\a2"}) {
        ASSERT_TRUE(CreateDirectoryW((dir / name).c_str(), nullptr));
    }
    // Without its trailing backslash the base still gets one.
    std::wstring base = dir.path().substr(0, dir.path().size() - 1);
    std::vector<std::wstring> out;
    Util::ListSubdirectories(base, out, true, true);
    ASSERT_EQ(out.size(), 5u);
    auto index = [&](const wchar_t* name) {
        return std::find(out.begin(), out.end(), dir / name) - out.begin();
    };
    for (const wchar_t* name : {L"a", L"a\\a1", L"a\\a1\\deep", L"a\\a2", L"b"}) {
        EXPECT_LT(index(name), 5) << "missing entry";
    }
    // Each folder comes right before its own subtree.
    EXPECT_EQ(index(L"a\\a1\\deep"), index(L"a\\a1") + 1);
    EXPECT_LT(index(L"a"), index(L"a\\a1"));
    EXPECT_LT(index(L"a"), index(L"a\\a2"));
}

TEST(UtilFiles, ListSubdirectoriesOfMissingFolderLeavesOutputAlone) {
    std::vector<std::wstring> out{L"x"};
    Util::ListSubdirectories(L"C:\\no\\such\\folder", out, false, true);
    EXPECT_EQ(out, std::vector<std::wstring>{L"x"});
}

TEST(UtilFiles, MakeTempFileCreatesEmptyFileWithPrefixInTempFolder) {
    char tempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, tempDir);
    std::string path = Util::MakeTempFileA("~rqz_");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.rfind(tempDir, 0), 0u) << path;
    std::string name = path.substr(strlen(tempDir));
    EXPECT_EQ(name.rfind("~rq", 0), 0u) << name;  // first three characters of the prefix
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_TRUE(Util::PathExistsA(path));
    std::wstring wide = Util::AnsiToWide(path);
    EXPECT_EQ(Util::GetFileSize32(wide), 0u);
    std::string second = Util::MakeTempFileA("~rqz_");
    EXPECT_NE(second, path);
    EXPECT_TRUE(Util::RemoveFile(wide));
    EXPECT_TRUE(Util::RemoveFile(Util::AnsiToWide(second)));
    EXPECT_FALSE(Util::PathExistsA(path));
}

TEST(UtilFiles, PathExistsAForFilesAndFolders) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"f", "1"));
    EXPECT_TRUE(Util::PathExistsA(Util::WideToAnsi(dir / L"f")));
    EXPECT_TRUE(Util::PathExistsA(Util::WideToAnsi(dir.path().substr(0, dir.path().size() - 1))));
    EXPECT_FALSE(Util::PathExistsA(Util::WideToAnsi(dir / L"missing")));
}

TEST(UtilFiles, RemoveFileReportsFailure) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"f", "1"));
    EXPECT_TRUE(Util::RemoveFile(dir / L"f"));
    EXPECT_FALSE(Util::RemoveFile(dir / L"f"));
}

TEST(UtilFiles, LongPathsAreRefusedWithoutOverflow) {
    // 300 characters: longer than every fixed buffer of the helpers.
    std::wstring longPath = L"C:\\" + std::wstring(297, L'a');
    EXPECT_FALSE(Util::DirectoryExists(longPath));
    EXPECT_FALSE(Util::DirectoryExists(longPath + L"\\"));
    EXPECT_EQ(Util::GetFileSize32(longPath), 0u);
    std::vector<std::wstring> out;
    Util::ListSubdirectories(longPath, out, true, true);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(Util::GetParentDir(longPath), L"C:\\");
}

TEST(UtilFiles, ListSubdirectoriesLeavesOutEntriesThatWouldNotFit) {
    TempDir dir;
    // A name that fits the file system but makes base + name reach 260.
    size_t room = MAX_PATH - dir.path().size();
    std::wstring fitting(room - 1, L'f');   // base + name = 259 characters
    std::wstring tooLong(room, L'g');       // base + name = 260 characters
    // The "\\?\\" form lifts CreateDirectoryW's own 248-character limit.
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + dir / fitting).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + dir / tooLong).c_str(), nullptr));
    std::vector<std::wstring> out;
    Util::ListSubdirectories(dir.path(), out, false, false);
    EXPECT_NE(std::find(out.begin(), out.end(), fitting), out.end());
    EXPECT_EQ(std::find(out.begin(), out.end(), tooLong), out.end());
}

}  // namespace
