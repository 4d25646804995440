// The digest of files on disk through all three entry points, and what a
// caller sees afterwards: no handle may stay open on the installer.
#include <gtest/gtest.h>
#include <windows.h>

#include "digest/file_md5.h"
#include "support/temp_dir.h"
#include "util/unique_handle.h"
#include "util/util.h"

using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

const char kAbcDigest[] = "900150983cd24fb0d6963f7d28e17f72";

std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
    return bytes;
}

TEST(GetFileMD5, RfcDigestsOfFilesAroundTheBlockBoundary) {
    TempDir dir;
    struct Case {
        std::string bytes;
        const char* digest;
    };
    const Case cases[] = {
        {"abc", kAbcDigest},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
    };
    for (const Case& c : cases) {
        const std::wstring path = dir / L"file.bin";
        ASSERT_TRUE(WriteFileBytes(path, c.bytes));
        EXPECT_EQ(GetFileMD5(path), c.digest) << c.bytes.size() << " bytes";
    }
}

TEST(GetFileMD5, AllThreeFormsAgree) {
    TempDir dir;
    // An ASCII name: under this Wine set-up the host locale cannot carry
    // other characters into Unix file names.
    const std::wstring path = dir / L"setup 1.1.516.220.exe";
    ASSERT_TRUE(WriteFileBytes(path, "abc"));
    EXPECT_EQ(GetFileMD5(path), kAbcDigest);
    EXPECT_EQ(GetFileMD5(path.c_str()), kAbcDigest);
    EXPECT_EQ(GetFileMD5(Util::WideToAnsi(path)), kAbcDigest);
}

TEST(GetFileMD5, EveryFailureGivesEmptyText) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"empty.bin", ""));
    EXPECT_EQ(GetFileMD5(dir / L"empty.bin"), "");
    EXPECT_EQ(GetFileMD5(dir / L"missing.bin"), "");
    EXPECT_EQ(GetFileMD5(std::string()), "");
    EXPECT_EQ(GetFileMD5(static_cast<const wchar_t*>(nullptr)), "");
    EXPECT_EQ(GetFileMD5(dir.path()), "");  // a folder

    // A path too long for the fixed buffer must not be cut into a shorter,
    // different path that might exist.
    ASSERT_TRUE(WriteFileBytes(dir / L"a", "abc"));
    std::wstring longPath = dir.path() + std::wstring(MAX_PATH, L'a');
    EXPECT_EQ(GetFileMD5(longPath.c_str()), "");
}

TEST(GetFileMD5, FileHeldWithoutReadSharingGivesEmptyText) {
    TempDir dir;
    const std::wstring path = dir / L"locked.bin";
    ASSERT_TRUE(WriteFileBytes(path, "abc"));
    Util::UniqueFile holder(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(GetFileMD5(path), "");
    holder.reset();
    EXPECT_EQ(GetFileMD5(path), kAbcDigest);
}

TEST(GetFileMD5, FileCanBeRenamedAndDeletedAfterwards) {
    TempDir dir;
    const std::wstring path = dir / L"setup.exe";
    const std::string bytes = Pattern(3 * 1024 * 1024 + 17);
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    const std::string digest = GetFileMD5(path);
    EXPECT_EQ(digest.size(), 32u);
    const std::wstring moved = dir / L"moved.exe";
    EXPECT_TRUE(::MoveFileW(path.c_str(), moved.c_str())) << ::GetLastError();
    EXPECT_TRUE(::DeleteFileW(moved.c_str())) << ::GetLastError();
    EXPECT_FALSE(testsupport::FileExists(moved));
}

TEST(GetFileMD5, WritersAreKeptOutWhileItRuns) {
    // While the digest runs the file is shared for reading only; a second
    // reader is welcome.
    TempDir dir;
    const std::wstring path = dir / L"shared.bin";
    ASSERT_TRUE(WriteFileBytes(path, "abc"));
    Util::UniqueFile reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_EQ(GetFileMD5(path), kAbcDigest);
}

}  // namespace
