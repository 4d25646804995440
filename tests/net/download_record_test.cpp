// The record of a download to be continued, and the server validator it
// keeps: written and read back, refused when damaged, and matched against
// the download a later start is about to make.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "net/download_record.h"
#include "net/download_resume.h"
#include "net/http_validator.h"

using net::DownloadRecord;
using net::RecordedPart;

namespace {

constexpr int64_t kSize = 20 * 1024 * 1024;
constexpr int32_t kFifth = 4 * 1024 * 1024;

DownloadRecord FiveParts() {
    DownloadRecord record;
    record.url = "http://127.0.0.1:8080/pc/Tarsel Setup.exe?v=2";
    record.size = kSize;
    record.validator = {"\"5f3a-1400000\"", "Tue, 08 Dec 2026 10:00:00 GMT"};
    record.md5 = "0123456789ABCDEF0123456789ABCDEF";
    record.sha256 = "";
    record.file = "~rq1A2B.tmp.exe";
    for (int i = 0; i < 5; ++i) {
        const int32_t first = i * kFifth;
        record.parts.push_back(RecordedPart{first, i == 4 ? -1 : first + kFifth - 1, first + 1000 * i});
    }
    return record;
}

net::ResumeContext ContextOf(const DownloadRecord& record) {
    net::ResumeContext context;
    context.url = record.url;
    context.md5 = record.md5;
    context.sha256 = record.sha256;
    context.file = record.file;
    context.size = record.size;
    context.validator = record.validator;
    context.rangesSupported = true;
    context.partialFileSize = record.size;
    return context;
}

}  // namespace

TEST(DownloadRecord, ReadsBackWhatWasWritten) {
    const DownloadRecord record = FiveParts();
    const std::string text = net::FormatDownloadRecord(record);
    ASSERT_FALSE(text.empty());
    const auto read = net::ParseDownloadRecord(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(record.url, read->url);
    EXPECT_EQ(record.size, read->size);
    EXPECT_TRUE(record.validator == read->validator);
    EXPECT_EQ(record.md5, read->md5);
    EXPECT_EQ("", read->sha256);
    EXPECT_EQ(record.file, read->file);
    ASSERT_EQ(5u, read->parts.size());
    EXPECT_EQ(4 * kFifth, read->parts[4].first);
    EXPECT_EQ(-1, read->parts[4].last);
    EXPECT_EQ(4 * kFifth + 4000, read->parts[4].position);
    EXPECT_EQ(10000, net::BytesDone(read->parts));

    // The single whole-file part, and a record with only one validator.
    DownloadRecord whole = record;
    whole.parts = {RecordedPart{0, 0, 1234}};
    whole.validator.etag.clear();
    const auto wholeRead = net::ParseDownloadRecord(net::FormatDownloadRecord(whole));
    ASSERT_TRUE(wholeRead);
    EXPECT_EQ(1234, wholeRead->parts[0].position);
    EXPECT_EQ("", wholeRead->validator.etag);
}

TEST(DownloadRecord, RefusesWhatItCannotWriteAsOneLinePerValue) {
    for (std::string DownloadRecord::*field : {&DownloadRecord::url, &DownloadRecord::file, &DownloadRecord::md5}) {
        for (const char* bad : {"a\nb", "a\rb"}) {
            DownloadRecord record = FiveParts();
            record.*field = bad;
            EXPECT_EQ("", net::FormatDownloadRecord(record)) << bad;
        }
    }
    DownloadRecord noValidator = FiveParts();
    noValidator.validator = {};
    EXPECT_EQ("", net::FormatDownloadRecord(noValidator));
    DownloadRecord overlapping = FiveParts();
    overlapping.parts[1].first -= 1;
    EXPECT_EQ("", net::FormatDownloadRecord(overlapping));
}

TEST(DownloadRecord, RefusesDamagedText) {
    const std::string good = net::FormatDownloadRecord(FiveParts());
    ASSERT_TRUE(net::ParseDownloadRecord(good));
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        const size_t at = text.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string damaged[] = {
        "",
        good.substr(0, good.size() - 4),                         // cut before "end"
        good.substr(0, good.size() - 1),                         // no final line break
        replaced("tarsel download record 1", "tarsel download record 2"),
        replaced("size 20971520", "size 020971520"),             // leading zero
        replaced("size 20971520", "size -1"),
        replaced("size 20971520", "size 2147483648"),            // past the 32-bit positions
        replaced("size 20971520", "size 20971520 "),
        replaced("size 20971520\n", ""),                         // missing line
        replaced("md5 ", "md5x "),                               // unknown key
        replaced("md5 0123", "sha256 0123"),                     // repeated key
        replaced("part 0 4194303 0", "part 0 4194303"),          // two numbers
        replaced("part 0 4194303 0", "part 0 4194303 4194305"),  // past its own end
        replaced("part 4194304 8388607", "part 4194305 8388607"),// a gap
        replaced("part 16777216 -1", "part 16777216 20971519"),  // the last part closed
        replaced("etag \"5f3a-1400000\"", "etag W/\"5f3a\""),     // weak tag
        replaced("etag \"5f3a-1400000\"", "etag \"a\"b\""),
        replaced("url http", "url \rhttp"),
        replaced("file ~rq1A2B.tmp.exe", "file "),
        replaced("etag \"5f3a-1400000\"\nlast-modified Tue, 08 Dec 2026 10:00:00 GMT",
                 "etag \nlast-modified "),                         // no validator
        good + "part 20971520 -1 20971520\n",                    // after "end"
    };
    for (const std::string& text : damaged) {
        EXPECT_FALSE(net::ParseDownloadRecord(text)) << text;
    }
    EXPECT_FALSE(net::ParseDownloadRecord(std::string(net::kMaxRecordBytes + 1, 'a')));
}

TEST(DownloadRecord, RandomDamageIsRefusedOrGivesAConsistentRecord) {
    const std::string good = net::FormatDownloadRecord(FiveParts());
    std::mt19937 random(20261210);
    int refused = 0;
    int parsed = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text = good;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % text.size();
            switch (random() % 4) {
                case 0: text[at] = static_cast<char>(random() % 256); break;
                case 1: text.erase(at, 1 + random() % 8); break;
                case 2: text.insert(at, 1, static_cast<char>(random() % 256)); break;
                default: text.insert(at, text.substr(random() % text.size(), random() % 40)); break;
            }
            if (text.empty()) text = "x";
        }
        const auto record = net::ParseDownloadRecord(text);
        if (!record) {
            ++refused;
            continue;
        }
        ++parsed;
        // Whatever is accepted describes a download that can be continued
        // and is written back the same.
        EXPECT_TRUE(net::PartsAreConsistent(record->parts, record->size));
        EXPECT_TRUE(net::IsSendableValidator(record->validator));
        EXPECT_EQ(text, net::FormatDownloadRecord(*record));
    }
    EXPECT_GT(refused, 3000);
    EXPECT_GT(parsed, 0);
}

TEST(DownloadRecord, PartsMustFollowEachOtherToAnOpenEnd) {
    using Parts = std::vector<RecordedPart>;
    EXPECT_TRUE(net::PartsAreConsistent(Parts{{0, 0, 0}}, 10));
    EXPECT_TRUE(net::PartsAreConsistent(Parts{{0, 0, 10}}, 10));
    EXPECT_FALSE(net::PartsAreConsistent(Parts{{0, 0, 11}}, 10));
    EXPECT_TRUE(net::PartsAreConsistent(Parts{{0, 4, 5}, {5, -1, 10}}, 10));
    EXPECT_FALSE(net::PartsAreConsistent(Parts{{0, 4, 5}, {5, -1, 11}}, 10));
    EXPECT_FALSE(net::PartsAreConsistent(Parts{{0, 4, 6}, {5, -1, 5}}, 10));
    EXPECT_FALSE(net::PartsAreConsistent(Parts{{0, 4, 2}, {5, -1, 4}}, 10));  // behind its first byte
    EXPECT_FALSE(net::PartsAreConsistent(Parts{{0, 9, 2}, {10, -1, 10}}, 10));  // last part past the end
    EXPECT_FALSE(net::PartsAreConsistent(Parts{}, 10));
    EXPECT_FALSE(net::PartsAreConsistent(Parts{{0, 0, 0}}, 0));
    EXPECT_FALSE(net::PartsAreConsistent(Parts(11, RecordedPart{0, 0, 0}), 100));
    EXPECT_TRUE(net::PartDone(RecordedPart{0, 4, 5}, 10));
    EXPECT_FALSE(net::PartDone(RecordedPart{5, -1, 9}, 10));
    EXPECT_TRUE(net::PartDone(RecordedPart{5, -1, 10}, 10));
}

TEST(HttpValidator, ComesFromTheLastResponseAndOnlyWhenItCanBeSentBack) {
    const std::string redirected =
        "HTTP/1.1 302 Found\r\nETag: \"old\"\r\nLocation: /b\r\n\r\n"
        "HTTP/1.1 206 Partial Content\r\netag:  \"abc-123\" \r\nLast-Modified: Tue, 08 Dec 2026 10:00:00 GMT\r\n\r\n";
    net::Validator found = net::FindValidator(redirected);
    EXPECT_EQ("\"abc-123\"", found.etag);
    EXPECT_EQ("Tue, 08 Dec 2026 10:00:00 GMT", found.lastModified);
    EXPECT_EQ("\"abc-123\"", net::IfRangeValue(found));

    EXPECT_TRUE(net::FindValidator("HTTP/1.1 302 Found\r\nETag: \"old\"\r\n\r\nHTTP/1.1 200 OK\r\n\r\n").empty());
    // A weak tag cannot ask for a range: the date is used instead.
    found = net::FindValidator("HTTP/1.1 206 x\r\nETag: W/\"abc\"\r\nLast-Modified: Mon, 07 Dec 2026 1:00:00 GMT\r\n");
    EXPECT_EQ("", found.etag);
    EXPECT_EQ("Mon, 07 Dec 2026 1:00:00 GMT", net::IfRangeValue(found));
    // Nothing that could break the request it is sent in, nothing too long.
    EXPECT_TRUE(net::FindValidator("HTTP/1.1 206 x\r\nETag: \"a\x01b\"\r\n").empty());
    EXPECT_TRUE(net::FindValidator("HTTP/1.1 206 x\r\nETag: \"\xC3\xA9\"\r\n").empty());
    EXPECT_TRUE(net::FindValidator("HTTP/1.1 206 x\r\nETag: \"a\"b\"\r\n").empty());
    EXPECT_TRUE(net::FindValidator("HTTP/1.1 206 x\r\nETag: unquoted\r\n").empty());
    EXPECT_TRUE(net::FindValidator("HTTP/1.1 206 x\r\nETag: \"" + std::string(net::kMaxValidatorLength, 'a') + "\"\r\n")
                    .empty());
    EXPECT_TRUE(net::FindValidator("HTTP/1.1 206 x\r\nLast-Modified:\r\n").empty());
    EXPECT_EQ("", net::IfRangeValue(net::Validator{}));
}

TEST(HttpValidator, RandomHeadersGiveOnlySendableValidators) {
    std::mt19937 random(7);
    const std::string pieces[] = {"HTTP/1.1 206 x\r\n", "ETag: ", "Last-Modified: ", "\"", "W/", "\r\n", "\n",
                                  "a", " ", "\x7F", "\xFF", ":"};
    for (int round = 0; round < 3000; ++round) {
        std::string headers;
        for (int i = 0, n = static_cast<int>(random() % 30); i < n; ++i) headers += pieces[random() % 12];
        const net::Validator found = net::FindValidator(headers);
        if (!found.empty()) {
            EXPECT_TRUE(net::IsSendableValidator(found)) << headers;
        }
    }
}

TEST(ResumeDecision, ContinuesOnlyTheSameVersionOfTheSameDownload) {
    const DownloadRecord record = FiveParts();
    EXPECT_TRUE(net::RecordFitsDownload(record, ContextOf(record)));
    struct Change {
        const char* what;
        void (*apply)(net::ResumeContext&);
    };
    const Change changes[] = {
        {"another URL", [](net::ResumeContext& c) { c.url += "&x"; }},
        {"another MD5", [](net::ResumeContext& c) { c.md5[0] = '1'; }},
        {"a SHA-256 now", [](net::ResumeContext& c) { c.sha256 = "AB"; }},
        {"another target", [](net::ResumeContext& c) { c.file = "~rq9999.tmp.exe"; }},
        {"another size", [](net::ResumeContext& c) { c.size += 1; }},
        {"a new entity tag", [](net::ResumeContext& c) { c.validator.etag = "\"5f3a-1400001\""; }},
        {"a new date", [](net::ResumeContext& c) { c.validator.lastModified = "Wed, 09 Dec 2026 10:00:00 GMT"; }},
        {"no validator now", [](net::ResumeContext& c) { c.validator = {}; }},
        {"no ranges now", [](net::ResumeContext& c) { c.rangesSupported = false; }},
        {"no partial file", [](net::ResumeContext& c) { c.partialFileSize = -1; }},
        {"a shorter partial file", [](net::ResumeContext& c) { c.partialFileSize = 4 * kFifth + 3999; }},
    };
    for (const Change& change : changes) {
        net::ResumeContext context = ContextOf(record);
        change.apply(context);
        EXPECT_FALSE(net::RecordFitsDownload(record, context)) << change.what;
    }
    // The partial file must reach the furthest byte a part claims.
    net::ResumeContext exact = ContextOf(record);
    exact.partialFileSize = 4 * kFifth + 4000;
    EXPECT_TRUE(net::RecordFitsDownload(record, exact));
}

TEST(ResumeDecision, TheRecordIsSavedOftenEnoughToLoseAFewPerCentAtMost) {
    EXPECT_EQ(256 * 1024, net::RecordSaveInterval(1024 * 1024));
    EXPECT_EQ(2 * 1024 * 1024, net::RecordSaveInterval(64 * 1024 * 1024));
    EXPECT_EQ(4 * 1024 * 1024, net::RecordSaveInterval(1024 * 1024 * 1024));
    for (int64_t size : {int64_t{10} << 20, int64_t{50} << 20, int64_t{200} << 20}) {
        EXPECT_LE(net::RecordSaveInterval(size) * 25, size) << size;
    }
}
