// Reading a file whole under a caller's bound, against real files in the
// Wine prefix: sizes at and around the bound, missing paths, folders and
// files other handles hold.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "util/unique_handle.h"
#include "util/whole_file.h"

using testsupport::TempDir;
using testsupport::WriteFileBytes;
using Util::WholeFileOutcome;

namespace {

// Every byte value, NULs and 0x1A included, so that no text mode or
// terminator can pass unnoticed.
std::string AllByteValues(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

Util::UniqueFile OpenWith(const std::wstring& path, DWORD access, DWORD share) {
    return Util::UniqueFile(
        ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(WholeFile, SizesAroundTheBound) {
    struct Case {
        const char* name;
        size_t fileBytes;
        std::uint64_t bound;
        WholeFileOutcome expected;
    };
    const Case cases[] = {
        {"empty file, bound 0", 0, 0, WholeFileOutcome::kRead},
        {"empty file, bound 10", 0, 10, WholeFileOutcome::kRead},
        {"one byte, bound 0", 1, 0, WholeFileOutcome::kTooLarge},
        {"exactly at the bound", 4096, 4096, WholeFileOutcome::kRead},
        {"one byte over the bound", 4097, 4096, WholeFileOutcome::kTooLarge},
        {"well under the bound", 100, 1u << 20, WholeFileOutcome::kRead},
        // Read in several pieces, the last one short.
        {"several read pieces", 3 * (1u << 20) + 17, 16u << 20, WholeFileOutcome::kRead},
        {"bound beyond 4 GiB", 300, UINT64_MAX, WholeFileOutcome::kRead},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = dir / L"file.bin";
        const std::string content = AllByteValues(c.fileBytes);
        ASSERT_TRUE(WriteFileBytes(path, content));
        std::string bytes = "left from before";
        const Util::WholeFileRead result = Util::ReadWholeFile(path, c.bound, bytes);
        EXPECT_EQ(result.outcome, c.expected);
        EXPECT_EQ(result.size, c.fileBytes);
        EXPECT_EQ(result.read(), c.expected == WholeFileOutcome::kRead);
        if (c.expected == WholeFileOutcome::kRead) {
            EXPECT_TRUE(bytes == content) << "read " << bytes.size() << " of " << content.size() << " bytes";
        } else {
            EXPECT_TRUE(bytes.empty());
        }
    }
}

TEST(WholeFile, ByteVectorGetsTheSameBytesAsAString) {
    TempDir dir;
    const std::string content = AllByteValues((1u << 20) + 5);
    ASSERT_TRUE(WriteFileBytes(dir / L"file.bin", content));
    std::vector<std::uint8_t> bytes{1, 2, 3};
    ASSERT_TRUE(Util::ReadWholeFile(dir / L"file.bin", content.size(), bytes).read());
    EXPECT_TRUE(bytes == std::vector<std::uint8_t>(content.begin(), content.end()));

    EXPECT_EQ(Util::ReadWholeFile(dir / L"file.bin", content.size() - 1, bytes).outcome, WholeFileOutcome::kTooLarge);
    EXPECT_TRUE(bytes.empty());
}

TEST(WholeFile, NonAsciiNameIsReadThroughTheWidePath) {
    TempDir dir;
    const std::wstring path = dir / L"更新文档.cfg";
    ASSERT_TRUE(WriteFileBytes(path, "{}"));
    std::string bytes;
    ASSERT_TRUE(Util::ReadWholeFile(path, 2, bytes).read());
    EXPECT_EQ(bytes, "{}");
}

TEST(WholeFile, MissingFileOrFolderOnTheWay) {
    TempDir dir;
    struct Case {
        std::wstring path;
        unsigned long error;
    };
    const Case cases[] = {
        {dir / L"missing.cfg", ERROR_FILE_NOT_FOUND},
        {dir / L"no-such-folder\\file.cfg", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        std::string bytes = "stale";
        const Util::WholeFileRead result = Util::ReadWholeFile(c.path, 1024, bytes);
        EXPECT_EQ(result.outcome, WholeFileOutcome::kMissing);
        EXPECT_EQ(result.systemError, c.error);
        EXPECT_TRUE(bytes.empty());
    }
}

TEST(WholeFile, FolderIsUnreadableNotMissing) {
    TempDir dir;
    ASSERT_TRUE(::CreateDirectoryW((dir / L"sub").c_str(), nullptr));
    for (const std::wstring& path : {dir / L"sub", dir.path()}) {
        std::string bytes;
        const Util::WholeFileRead result = Util::ReadWholeFile(path, UINT64_MAX, bytes);
        EXPECT_EQ(result.outcome, WholeFileOutcome::kUnreadable);
        EXPECT_NE(result.systemError, 0u);
        EXPECT_TRUE(bytes.empty());
    }
}

// Wine's server keeps share modes between handles as Windows does.
TEST(WholeFile, FileHeldByAnotherHandleWithoutSharedReading) {
    TempDir dir;
    const std::wstring path = dir / L"held.bin";
    ASSERT_TRUE(WriteFileBytes(path, "content"));
    struct Case {
        const char* name;
        DWORD access;
        DWORD share;
        WholeFileOutcome expected;
    };
    const Case cases[] = {
        {"opened exclusively", GENERIC_READ, 0, WholeFileOutcome::kUnreadable},
        // A writer that lets others read is still refused: the reader shares
        // no writing, so a half-written file is never taken.
        {"being written, reading shared", GENERIC_WRITE, FILE_SHARE_READ, WholeFileOutcome::kUnreadable},
        {"being read by another reader", GENERIC_READ, FILE_SHARE_READ, WholeFileOutcome::kRead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Util::UniqueFile other = OpenWith(path, c.access, c.share);
        ASSERT_TRUE(other) << ::GetLastError();
        std::string bytes;
        const Util::WholeFileRead result = Util::ReadWholeFile(path, 64, bytes);
        EXPECT_EQ(result.outcome, c.expected);
        if (c.expected == WholeFileOutcome::kUnreadable) {
            EXPECT_EQ(result.systemError, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
            EXPECT_TRUE(bytes.empty());
        } else {
            EXPECT_EQ(bytes, "content");
        }
    }
    // Once the other handle is gone the file reads again.
    std::string bytes;
    EXPECT_TRUE(Util::ReadWholeFile(path, 64, bytes).read());
    EXPECT_EQ(bytes, "content");
}

// The caller keeps the handle, so that the bytes it checked are the bytes
// it goes on to use.
TEST(WholeFile, OpenFileIsReadThroughTheCallersHandle) {
    TempDir dir;
    const std::wstring path = dir / L"held.cfg";
    ASSERT_TRUE(WriteFileBytes(path, "0123456789"));
    struct Case {
        const char* name;
        DWORD access;
        LONG skip;  // bytes the handle has passed already
        std::uint64_t bound;
        WholeFileOutcome expected;
        unsigned long error;
    };
    const Case cases[] = {
        {"whole, exactly at the bound", GENERIC_READ, 0, 10, WholeFileOutcome::kRead, 0},
        {"one byte over the bound", GENERIC_READ, 0, 9, WholeFileOutcome::kTooLarge, 0},
        // The size says ten bytes, the handle has eight left.
        {"ends before its size", GENERIC_READ, 2, 10, WholeFileOutcome::kUnreadable, ERROR_HANDLE_EOF},
        {"handle without read access", GENERIC_WRITE, 0, 10, WholeFileOutcome::kUnreadable, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Util::UniqueFile file = OpenWith(path, c.access, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(file) << ::GetLastError();
        ASSERT_NE(::SetFilePointer(file.get(), c.skip, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        std::string bytes = "stale";
        const Util::WholeFileRead result = Util::ReadWholeOpenFile(file.get(), c.bound, bytes);
        EXPECT_EQ(result.outcome, c.expected);
        EXPECT_EQ(result.size, 10u);
        if (c.expected == WholeFileOutcome::kRead) {
            EXPECT_EQ(bytes, "0123456789");
        } else {
            EXPECT_TRUE(bytes.empty());
        }
        if (c.expected == WholeFileOutcome::kUnreadable) {
            EXPECT_EQ(result.systemError, c.error);
        }
    }
}

}  // namespace
