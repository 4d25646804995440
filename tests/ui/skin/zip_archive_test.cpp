// The archive reader against archives made by real tools (zip, Python's
// zipfile, 7z, cmake), and the result-code protocol its callers rely on.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/skin_fixtures.h"
#include "support/temp_dir.h"
#include "ui/skin/zip_archive.h"
#include "util/unique_handle.h"

using namespace TarselUI;
using skintest::FixtureDir;
using skintest::FixtureList;
using skintest::TreeFile;
using skintest::Widen;

namespace {

// An archive opened from one of the three kinds of source. Memory sources
// are read in place, so the bytes live beside the archive.
struct OpenedArchive {
    std::string bytes;
    Util::UniqueFile file;
    UniqueZipArchive zip;
};

enum class Via { FileName, Memory, Handle };

OpenedArchive Open(const std::string& archiveName, Via via) {
    OpenedArchive opened;
    const std::wstring path = FixtureDir() + Widen(archiveName);
    switch (via) {
        case Via::FileName:
            opened.zip.reset(ZipOpen(path.c_str(), 0, kZipSourceFileName));
            break;
        case Via::Memory:
            opened.bytes = testsupport::ReadFileBytes(path);
            opened.zip.reset(ZipOpen(opened.bytes.data(), static_cast<unsigned long>(opened.bytes.size()),
                                     kZipSourceMemory));
            break;
        case Via::Handle:
            opened.file.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
            opened.zip.reset(ZipOpen(opened.file.get(), 0, kZipSourceHandle));
            break;
    }
    return opened;
}

// Extracts an entry the way the engine does: one call into a buffer of
// exactly its size, which must answer "more data", then a finishing call.
std::string ExtractWhole(ZipArchive* zip, const std::string& name) {
    int index = -1;
    ZipEntry entry{};
    EXPECT_EQ(ZipFindItem(zip, Widen(name).c_str(), true, &index, &entry), kZipSuccess) << name;
    if (index < 0) return std::string();
    EXPECT_EQ(entry.index, index);
    EXPECT_STREQ(entry.name, name.c_str());
    std::string out(entry.uncompressedSize, '\0');
    const ZipResult first = ZipUnzipItem(zip, index, out.data(), entry.uncompressedSize, kZipSourceMemory);
    EXPECT_EQ(first, out.empty() ? kZipSuccess : kZipMoreData) << name;
    if (!out.empty()) {
        char spare = 'x';
        EXPECT_EQ(ZipUnzipItem(zip, index, &spare, 1, kZipSourceMemory), kZipSuccess) << name;
        EXPECT_EQ(spare, 'x') << "the finishing call wrote into the buffer";
    }
    return out;
}

TEST(ZipArchive, EveryToolsArchiveGivesBackEveryFileFromEveryKindOfSource) {
    const std::vector<std::string> archives = FixtureList("archives.txt");
    const std::vector<std::string> files = FixtureList("files.txt");
    ASSERT_GE(archives.size(), 9u);
    ASSERT_GE(files.size(), 7u);
    for (const std::string& archiveName : archives) {
        for (Via via : {Via::FileName, Via::Memory, Via::Handle}) {
            SCOPED_TRACE(archiveName + " via " + std::to_string(static_cast<int>(via)));
            OpenedArchive opened = Open(archiveName, via);
            ASSERT_TRUE(opened.zip) << std::hex << ZipLastResult();
            for (const std::string& name : files) {
                const std::string expected = TreeFile(name);
                const std::string got = ExtractWhole(opened.zip.get(), name);
                EXPECT_EQ(got.size(), expected.size()) << name;
                EXPECT_TRUE(got == expected) << name << " differs from the original";
            }
        }
    }
}

TEST(ZipArchive, ExtractionInSmallPiecesContinuesWhereItStopped) {
    for (const char* archiveName : {"zip9.zip", "zip0.zip", "zip_piped.zip", "7z.zip"}) {
        for (Via via : {Via::FileName, Via::Memory}) {
            SCOPED_TRACE(archiveName);
            OpenedArchive opened = Open(archiveName, via);
            ASSERT_TRUE(opened.zip);
            int index = -1;
            ZipEntry entry{};
            ASSERT_EQ(ZipFindItem(opened.zip.get(), L"big/text.xml", true, &index, &entry), kZipSuccess);
            std::string joined;
            char piece[1000];
            ZipResult result = kZipMoreData;
            int calls = 0;
            while (result == kZipMoreData && calls++ < 10000) {
                std::memset(piece, 0, sizeof piece);
                result = ZipUnzipItem(opened.zip.get(), index, piece, sizeof piece, kZipSourceMemory);
                if (result == kZipMoreData) {
                    const std::size_t take = std::min<std::size_t>(sizeof piece, entry.uncompressedSize - joined.size());
                    joined.append(piece, take);
                }
            }
            EXPECT_EQ(result, kZipSuccess);
            EXPECT_TRUE(joined == TreeFile("big/text.xml"));
        }
    }
}

TEST(ZipArchive, AnEntryOfExactlyTheBufferSizeAnswersMoreDataThenFinished) {
    OpenedArchive opened = Open("zip9.zip", Via::Memory);
    ASSERT_TRUE(opened.zip);
    int index = -1;
    ZipEntry entry{};
    ASSERT_EQ(ZipFindItem(opened.zip.get(), L"MsgBox\\UpdateHintBox.xml", true, &index, &entry), kZipSuccess);
    ASSERT_EQ(entry.uncompressedSize, 347u);
    char buffer[347];
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), index, buffer, 347, kZipSourceMemory), kZipMoreData);
    EXPECT_EQ(std::string(buffer, 347), TreeFile("MsgBox/UpdateHintBox.xml"));
    char after[347];
    std::memset(after, 0x5A, sizeof after);
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), index, after, 347, kZipSourceMemory), kZipSuccess);
    EXPECT_EQ(std::string(after, 347), std::string(347, '\x5A'));
    EXPECT_EQ(ZipLastResult(), kZipSuccess);

    // The finishing call may pass no buffer at all.
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), index, buffer, 347, kZipSourceMemory), kZipMoreData);
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), index, nullptr, 0, kZipSourceMemory), kZipSuccess);
}

TEST(ZipArchive, NameLookupFollowsTheEnginesRules) {
    struct Case {
        const wchar_t* request;
        bool ignoreCase;
        const char* found;  // null: not found
    };
    const std::wstring tooLong(256, L'a');
    const Case cases[] = {
        {L"MsgBox\\UpdateHintBox.xml", true, "MsgBox/UpdateHintBox.xml"},
        {L"MsgBox/UpdateHintBox.xml", false, "MsgBox/UpdateHintBox.xml"},
        {L"bkimg.png", true, "Bkimg.png"},
        {L"BKIMG.PNG", true, "Bkimg.png"},
        {L"bkimg.png", false, nullptr},
        {L"MessageBox/UpdateHintBox.xml", true, nullptr},
        {L"UpdateHintBox.xml", true, nullptr},
        {L"MsgBox/", true, "MsgBox/"},
        {L"", true, nullptr},
        {tooLong.c_str(), true, nullptr},
    };
    OpenedArchive opened = Open("zip9.zip", Via::FileName);
    ASSERT_TRUE(opened.zip);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.request, c.request + std::wcslen(c.request)).substr(0, 40));
        int index = 1234;
        ZipEntry entry;
        std::memset(&entry, 0x77, sizeof entry);
        const ZipResult result = ZipFindItem(opened.zip.get(), c.request, c.ignoreCase, &index, &entry);
        if (c.found) {
            EXPECT_EQ(result, kZipSuccess);
            EXPECT_STREQ(entry.name, c.found);
            EXPECT_GE(index, 0);
        } else {
            EXPECT_EQ(result, kZipNotFound);
            EXPECT_EQ(index, -1);
            ZipEntry zero{};
            zero.index = -1;
            EXPECT_EQ(std::memcmp(&entry, &zero, sizeof entry), 0) << "a missing entry is all zero";
            EXPECT_EQ(ZipLastResult(), kZipNotFound);
        }
    }
}

TEST(ZipArchive, RequestsAreComparedInTheAnsiCodePage) {
    // The archive holds "皮肤/背景.xml" twice: first in code page 936 bytes,
    // then in UTF-8. Tests run with code page 936, so the request converted
    // to ANSI matches the first one only.
    ASSERT_EQ(::GetACP(), 936u);
    OpenedArchive opened = Open("cp936_names.zip", Via::Memory);
    ASSERT_TRUE(opened.zip);
    int index = -1;
    ZipEntry entry{};
    ASSERT_EQ(ZipFindItem(opened.zip.get(), L"\u76ae\u80a4\\\u80cc\u666f.xml", true, &index, &entry), kZipSuccess);
    EXPECT_EQ(index, 0);
    EXPECT_STREQ(entry.name, "\xc6\xa4\xb7\xf4/\xb1\xb3\xbe\xb0.xml");
    std::string content(entry.uncompressedSize, '\0');
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), index, content.data(), entry.uncompressedSize, kZipSourceMemory),
              kZipMoreData);
    EXPECT_EQ(content, "<Window cp936='yes' />");
}

TEST(ZipArchive, EntriesAreDescribedByIndex) {
    OpenedArchive opened = Open("python.zip", Via::Memory);
    ASSERT_TRUE(opened.zip);
    ZipEntry count;
    std::memset(&count, 0x77, sizeof count);
    ASSERT_EQ(ZipGetItem(opened.zip.get(), -1, &count), kZipSuccess);
    const std::size_t files = FixtureList("files.txt").size();
    EXPECT_EQ(count.index, static_cast<int>(files + 1));  // plus the directory entry
    EXPECT_EQ(count.name[0], '\0');
    EXPECT_EQ(count.uncompressedSize, 0u);

    ZipEntry entry{};
    ASSERT_EQ(ZipGetItem(opened.zip.get(), 0, &entry), kZipSuccess);
    EXPECT_STREQ(entry.name, "empty_dir/");
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_DIRECTORY);
    for (int index = 1; index < count.index; ++index) {
        ASSERT_EQ(ZipGetItem(opened.zip.get(), index, &entry), kZipSuccess);
        EXPECT_EQ(entry.index, index);
        EXPECT_FALSE(entry.attributes & FILE_ATTRIBUTE_DIRECTORY) << entry.name;
        EXPECT_EQ(entry.uncompressedSize, TreeFile(entry.name).size()) << entry.name;
    }
    // Going backwards starts again from the first entry.
    ASSERT_EQ(ZipGetItem(opened.zip.get(), 2, &entry), kZipSuccess);
    EXPECT_EQ(entry.index, 2);
    EXPECT_EQ(ZipGetItem(opened.zip.get(), count.index, &entry), kZipBadArguments);
    EXPECT_EQ(ZipGetItem(opened.zip.get(), -2, &entry), kZipBadArguments);
}

TEST(ZipArchive, ExtendedTimestampGivesTheFilesModificationTime) {
    // zip on Linux stores a "UT" field with the file's modification time.
    OpenedArchive opened = Open("zip9.zip", Via::FileName);
    ASSERT_TRUE(opened.zip);
    int index = -1;
    ZipEntry entry{};
    ASSERT_EQ(ZipFindItem(opened.zip.get(), L"MainFrame.xml", true, &index, &entry), kZipSuccess);
    Util::UniqueFile file(::CreateFileW((FixtureDir() + L"tree\\MainFrame.xml").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    FILETIME written{};
    ASSERT_TRUE(::GetFileTime(file.get(), nullptr, nullptr, &written));
    auto seconds = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000000ULL;
    };
    EXPECT_EQ(seconds(entry.lastWriteTime), seconds(written));
    EXPECT_NE(seconds(entry.creationTime), 0u);
}

TEST(ZipArchive, CallerMistakesGiveTheirCodes) {
    ZipEntry entry{};
    int index = 0;
    char buffer[4];
    EXPECT_EQ(ZipGetItem(nullptr, 0, &entry), kZipBadArguments);
    EXPECT_EQ(ZipFindItem(nullptr, L"a", true, &index, &entry), kZipBadArguments);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(ZipUnzipItem(nullptr, 0, buffer, 4, kZipSourceMemory), kZipBadArguments);
    EXPECT_EQ(ZipClose(nullptr), kZipBadArguments);
    EXPECT_EQ(ZipLastResult(), kZipBadArguments);

    EXPECT_EQ(ZipOpen(buffer, 4, 7), nullptr);
    EXPECT_EQ(ZipLastResult(), kZipBadArguments);
    EXPECT_EQ(ZipOpen(nullptr, 4, kZipSourceMemory), nullptr);
    EXPECT_EQ(ZipLastResult(), kZipBadArguments);
    EXPECT_EQ(ZipOpen(L"Z:\\no\\such\\skin.zip", 0, kZipSourceFileName), nullptr);
    EXPECT_EQ(ZipLastResult(), kZipOpenFileFailed);
    EXPECT_EQ(ZipOpen(buffer, 0, kZipSourceMemory), nullptr);
    EXPECT_EQ(ZipLastResult(), kZipCorrupt);
    const std::string notZip = TreeFile("MainFrame.xml");
    EXPECT_EQ(ZipOpen(notZip.data(), static_cast<unsigned long>(notZip.size()), kZipSourceMemory), nullptr);
    EXPECT_EQ(ZipLastResult(), kZipCorrupt);

    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    Util::UniqueHandle pipeRead(readEnd), pipeWrite(writeEnd);
    EXPECT_EQ(ZipOpen(pipeRead.get(), 0, kZipSourceHandle), nullptr);
    EXPECT_EQ(ZipLastResult(), kZipUnseekable);

    OpenedArchive opened = Open("zip9.zip", Via::Memory);
    ASSERT_TRUE(opened.zip);
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), 999, buffer, 4, kZipSourceMemory), kZipBadArguments);
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), -1, buffer, 4, kZipSourceMemory), kZipBadArguments);
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), 0, buffer, 4, kZipSourceFileName), kZipBadArguments);
    EXPECT_EQ(ZipUnzipItem(opened.zip.get(), 0, nullptr, 4, kZipSourceMemory), kZipBadArguments);
}

TEST(ZipArchive, FormatMessageGivesEveryTextOfTheTable) {
    const struct {
        ZipResult code;
        const wchar_t* text;
    } table[] = {
        {0x00000000, L"Success"},
        {0x00000100, L"Culdn't duplicate handle"},
        {0x00000200, L"Couldn't create/open file"},
        {0x00000300, L"Failed to allocate memory"},
        {0x00000400, L"Error writing to file"},
        {0x00000500, L"File not found in the zipfile"},
        {0x00000600, L"Still more data to unzip"},
        {0x00000700, L"Zipfile is corrupt or not a zipfile"},
        {0x00000800, L"Error reading file"},
        {0x00010000, L"Caller: faulty arguments"},
        {0x00020000, L"Caller: can only get memory of a memory zipfile"},
        {0x00030000, L"Caller: not enough space allocated for memory zipfile"},
        {0x00040000, L"Caller: there was a previous error"},
        {0x00050000, L"Caller: additions to the zip have already been ended"},
        {0x00060000, L"Zip-bug: the anticipated size turned out wrong"},
        {0x00070000, L"Caller: the file had already been partially unzipped"},
        {0x00080000, L"Caller: mixing creation and opening of zip"},
        {0x01000000, L"Zip-bug: internal initialisation not completed"},
        {0x02000000, L"Zip-bug: trying to seek the unseekable"},
        {0x04000000, L"Zip-bug: tried to change mind, but not allowed"},
        {0x05000000, L"Zip-bug: an internal error during flation"},
        {0x00000900, L"unknown zip result code"},
        {0x03000000, L"unknown zip result code"},
    };
    for (const auto& row : table) {
        wchar_t buffer[80];
        const unsigned length = ZipFormatMessage(row.code, buffer, 80);
        EXPECT_EQ(length, std::wcslen(row.text));
        EXPECT_STREQ(buffer, row.text);
    }

    wchar_t small[8];
    EXPECT_EQ(ZipFormatMessage(kZipNotFound, small, 8), 29u);
    EXPECT_STREQ(small, L"File no");
    EXPECT_EQ(ZipFormatMessage(kZipNotFound, nullptr, 80), 29u);
    small[0] = L'#';
    EXPECT_EQ(ZipFormatMessage(kZipNotFound, small, 0), 29u);
    EXPECT_EQ(small[0], L'#');

    ZipClose(nullptr);  // leaves "faulty arguments" as the last result
    wchar_t last[80];
    ZipFormatMessage(1, last, 80);
    EXPECT_STREQ(last, L"Caller: faulty arguments");
}

}  // namespace
