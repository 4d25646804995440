// Partial package downloads in the staging folder: continued when the
// document offers the same package again, removed when it no longer does,
// when damaged or after two weeks, and nothing else in the folder touched.
#include "update/partial_download.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "net/download_record_file.h"
#include "support/temp_dir.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

constexpr uint64_t kDay = 24ull * 60 * 60 * 10000000;

net::DownloadRecord RecordFor(const std::string& file) {
    net::DownloadRecord record;
    record.url = "http://update.example/pc/setup.exe";
    record.size = 1000;
    record.validator.etag = "\"v1\"";
    record.md5 = "AAAA";
    record.sha256 = "BBBB";
    record.file = file;
    record.parts = {net::RecordedPart{0, 499, 100}, net::RecordedPart{500, -1, 600}};
    return record;
}

void SetWriteTime(const std::wstring& path, uint64_t age) {
    Util::UniqueFile file(
        ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER value{{now.dwLowDateTime, now.dwHighDateTime}};
    value.QuadPart -= age;
    const FILETIME then{value.LowPart, value.HighPart};
    ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &then));
}

}  // namespace

TEST(PartialDownload, VerdictFollowsTheOfferTheRecordAndItsAge) {
    const auto record = std::optional<net::DownloadRecord>(RecordFor("~rq1234.tmp.exe"));
    const PackageOffer same{record->url, record->md5, record->sha256};
    const PackageOffer nothing;
    PackageOffer otherUrl = same, otherMd5 = same, noSha = same;
    otherUrl.url += "?2";
    otherMd5.md5 = "AAAB";
    noSha.sha256.clear();
    struct Case {
        const char* what;
        std::optional<net::DownloadRecord> record;
        uint64_t age;
        const PackageOffer* offer;
        bool nameIsOurs;
        PartialVerdict verdict;
    } cases[] = {
        {"the same package", record, kDay, &same, true, PartialVerdict::kContinue},
        {"thirteen days old", record, 13 * kDay, &same, true, PartialVerdict::kContinue},
        {"fifteen days old", record, 15 * kDay, &same, true, PartialVerdict::kRemove},
        {"document unknown", record, kDay, nullptr, true, PartialVerdict::kKeep},
        {"document unknown, old", record, 15 * kDay, nullptr, true, PartialVerdict::kRemove},
        {"damaged record", std::nullopt, 0, nullptr, true, PartialVerdict::kRemove},
        {"nothing offered", record, kDay, &nothing, true, PartialVerdict::kRemove},
        {"another URL", record, kDay, &otherUrl, true, PartialVerdict::kRemove},
        {"another MD5", record, kDay, &otherMd5, true, PartialVerdict::kRemove},
        {"SHA-256 dropped", record, kDay, &noSha, true, PartialVerdict::kRemove},
        {"a name not ours", record, kDay, &same, false, PartialVerdict::kRemove},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.verdict, JudgePartialDownload(c.record, c.age, c.offer, c.nameIsOurs)) << c.what;
    }
    EXPECT_TRUE(IsPackageFileName(L"~rq1A2B.tmp.exe"));
    EXPECT_TRUE(IsPackageFileName(L"~RQ1A2B.TMP.EXE"));
    for (const wchar_t* name : {L"~rq.tmp.exe", L"setup.exe", L"~rq1A2B.tmp", L"..\\~rq1A2B.tmp.exe", L"~rq1:2.tmp.exe"}) {
        EXPECT_FALSE(IsPackageFileName(name)) << Util::WideToAnsi(name);
    }
}

TEST(PartialDownload, TidyingKeepsTheContinuedDownloadAndTouchesNothingElse) {
    testsupport::TempDir dir;
    const std::wstring record = DownloadRecordPath(dir.path());
    const net::DownloadRecord kept = RecordFor("~rq1111.tmp.exe");
    ASSERT_TRUE(net::SaveDownloadRecord(record, kept));
    for (const wchar_t* name : {L"~rq1111.tmp.exe.dl", L"~rq2222.tmp.exe.dl", L"~rq3333.tmp.exe", L"notes.dl",
                                L"~rq4444.tmp", L"other.txt"}) {
        ASSERT_TRUE(testsupport::WriteFileBytes(dir / name, "x"));
    }
    // Name reservations: an empty one goes with its side file, one with
    // something in it is not a reservation and stays.
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"~rq2222.tmp", ""));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"~rq5555.tmp.exe.dl", "x"));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"~rq5555.tmp", "not empty"));
    const PackageOffer same{kept.url, kept.md5, kept.sha256};

    // The document is not known yet: all stays.
    EXPECT_EQ("", TidyPartialDownloads(dir.path(), nullptr));
    EXPECT_TRUE(testsupport::FileExists(record));
    EXPECT_TRUE(testsupport::FileExists(dir / L"~rq2222.tmp.exe.dl"));

    // The same package: its side file and record stay, other side files go.
    EXPECT_EQ(Util::WideToAnsi(dir / L"~rq1111.tmp.exe"), TidyPartialDownloads(dir.path(), &same));
    EXPECT_TRUE(testsupport::FileExists(record));
    EXPECT_TRUE(testsupport::FileExists(dir / L"~rq1111.tmp.exe.dl"));
    EXPECT_FALSE(testsupport::FileExists(dir / L"~rq2222.tmp.exe.dl"));
    EXPECT_FALSE(testsupport::FileExists(dir / L"~rq2222.tmp"));
    EXPECT_FALSE(testsupport::FileExists(dir / L"~rq5555.tmp.exe.dl"));
    EXPECT_TRUE(testsupport::FileExists(dir / L"~rq5555.tmp"));

    // Another package: the partial download goes with its record.
    const PackageOffer other{kept.url + "?2", kept.md5, kept.sha256};
    EXPECT_EQ("", TidyPartialDownloads(dir.path(), &other));
    EXPECT_FALSE(testsupport::FileExists(record));
    EXPECT_FALSE(testsupport::FileExists(dir / L"~rq1111.tmp.exe.dl"));
    for (const wchar_t* name : {L"~rq3333.tmp.exe", L"notes.dl", L"~rq4444.tmp", L"~rq5555.tmp", L"other.txt"}) {
        EXPECT_TRUE(testsupport::FileExists(dir / name)) << Util::WideToAnsi(name);
    }
}

TEST(PartialDownload, OldDamagedOrMisdirectedRecordsGoEvenBeforeTheDocumentIsKnown) {
    testsupport::TempDir dir;
    const std::wstring record = DownloadRecordPath(dir.path());
    struct Case {
        const char* what;
        std::string text;  // "" : a good record, made fifteen days old
    } cases[] = {
        {"fifteen days old", ""},
        {"damaged", "tarsel download record 1\nsize 12\nend\n"},
        {"a name outside the folder",
         net::FormatDownloadRecord(RecordFor("..\\~rq1111.tmp.exe"))},
        {"the name of a finished package", net::FormatDownloadRecord(RecordFor("~rq3333.tmp.exe"))},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"~rq1111.tmp.exe.dl", "partial"));
        ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"~rq3333.tmp.exe", "finished package"));
        if (c.text.empty()) {
            ASSERT_TRUE(net::SaveDownloadRecord(record, RecordFor("~rq1111.tmp.exe")));
            SetWriteTime(record, 15 * kDay);
        } else {
            ASSERT_TRUE(testsupport::WriteFileBytes(record, c.text));
        }
        EXPECT_EQ("", TidyPartialDownloads(dir.path(), nullptr)) << c.what;
        EXPECT_FALSE(testsupport::FileExists(record)) << c.what;
        EXPECT_FALSE(testsupport::FileExists(dir / L"~rq1111.tmp.exe.dl")) << c.what;
        EXPECT_TRUE(testsupport::FileExists(dir / L"~rq3333.tmp.exe")) << c.what;
    }
}
