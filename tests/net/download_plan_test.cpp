// The arithmetic of splitting a download and reading the server's answers.
#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "net/download_plan.h"

using namespace net;

namespace {

TEST(PartCountForSize, FollowsTheSizeBands) {
    struct Case {
        double size;
        int parts;
    } cases[] = {
        {0, 1},          {1048576, 1},    {2097152, 1},    {2097153, 1},     {4194304, 2},
        {6291454, 2},    {7000000, 3},    {10485760, 5},   {10485761, 5},    {31457280, 5},
        {52428800, 5},   {52428801, 5},   {62914560, 6},   {104857600, 10},  {268435456, 10},
        {2147483647, 10},
    };
    for (const Case& c : cases) EXPECT_EQ(PartCountForSize(c.size), c.parts) << c.size;
}

TEST(PlanParts, SplitsIntoEqualPartsWithAnOpenLastOne) {
    // 20 971 522 bytes on a range server probe at 20 971 520.
    std::vector<PartRange> parts = PlanParts(20971520, 4, true);
    ASSERT_EQ(parts.size(), 4u);
    const char* expected[] = {"0-5242879", "5242880-10485759", "10485760-15728639", "15728640-"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(RangeText(parts[i].first, parts[i].last), expected[i]);
}

TEST(PlanParts, OnePartOrNoRangesMeansOneWholeFileTransfer) {
    for (auto [size, count, ranges] : {std::tuple{31457280.0, 5, false}, std::tuple{1048576.0, 1, true}}) {
        std::vector<PartRange> parts = PlanParts(size, count, ranges);
        ASSERT_EQ(parts.size(), 1u);
        EXPECT_EQ(parts[0].first, 0);
        EXPECT_EQ(parts[0].last, 0);
        EXPECT_EQ(RangeText(parts[0].first, parts[0].last), "");
    }
}

TEST(RangeText, ResumesFromThePositionReached) {
    EXPECT_EQ(RangeText(0, 0), "");
    EXPECT_EQ(RangeText(524288, 0), "524288-");  // whole file resumed
    EXPECT_EQ(RangeText(100, 1048575), "100-1048575");
    EXPECT_EQ(RangeText(4194304, -1), "4194304-");
}

TEST(FindContentRange, ReadsFirstByteAndTotalIgnoringCase) {
    struct Case {
        const char* headers;
        bool present;
        int64_t first, total;
    } cases[] = {
        {"HTTP/1.1 206 Partial\r\nContent-Range: bytes 2-6291455/6291456\r\n", true, 2, 6291456},
        {"HTTP/1.1 206\r\ncontent-range:bytes 2-/99\r\n", true, 2, 99},
        {"HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\nHTTP/1.1 206\r\nCONTENT-RANGE :  bytes 2-9/10\r\n", true, 2, 10},
        {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n", false, 0, 0},
        {"HTTP/1.1 206\r\nContent-Range: bytes */10\r\n", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        ContentRange range = FindContentRange(c.headers);
        EXPECT_EQ(range.present, c.present) << c.headers;
        if (c.present) {
            EXPECT_EQ(range.first, c.first) << c.headers;
            EXPECT_EQ(range.total, c.total) << c.headers;
        }
    }
}

TEST(FindContentRange, HostileLengthsNeitherCrashNorWrap) {
    const std::string blanks(200000, ' ');
    const std::string digits(200000, '7');
    ContentRange spaced = FindContentRange("Content-Range:" + blanks + "bytes" + blanks + "2-9/10\r\n");
    EXPECT_TRUE(spaced.present);
    EXPECT_EQ(spaced.total, 10);
    ContentRange longNumber = FindContentRange("Content-Range: bytes 2-9/" + digits);
    EXPECT_TRUE(longNumber.present);
    EXPECT_EQ(longNumber.total, INT64_MAX);
    EXPECT_FALSE(FindContentRange("Content-Range: bytes " + digits).present);
    std::string repeated;
    for (int i = 0; i < 20000; ++i) repeated += "content-range:";
    EXPECT_FALSE(FindContentRange(repeated).present);
}

// The scanner accepts exactly what the header pattern
// CONTENT-RANGE\s*:\s*\w+\s*(\d+)-(\d*)/(\d+) (searched, ignoring case) accepts,
// checked against the library's regular expressions on short random texts
// where their recursion is harmless.
TEST(FindContentRange, AgreesWithThePatternOnRandomTexts) {
    static const std::regex pattern(R"(CONTENT-RANGE\s*:\s*\w+\s*(\d+)-(\d*)/(\d+))", std::regex::icase);
    const std::string pieces[] = {"Content-Range", "content-range", " ", "\t", "\r\n", ":", "bytes", "b",
                                  "_",             "0",             "12", "-", "/",  "99", "x-", "CONTENT-RANGE:"};
    const std::string valid[] = {"Content-Range: bytes 2-9/10", "content-range:bytes 12-/3456", "X: 1\r\nCONTENT-RANGE :\tb 0-0/1"};
    std::mt19937 random(4321);
    int matches = 0;
    for (int round = 0; round < 20000; ++round) {
        // A valid header, then a few random edits of the kinds that matter.
        std::string text = valid[round % 3];
        int edits = static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = random() % (text.size() + 1);
            if (random() % 2 == 0 && at < text.size()) {
                text.erase(at, 1 + random() % 3);
            } else {
                text.insert(at, pieces[random() % 16]);
            }
        }
        std::smatch match;
        bool expected = std::regex_search(text, match, pattern);
        ContentRange range = FindContentRange(text);
        ASSERT_EQ(range.present, expected) << text;
        if (!expected) continue;
        ++matches;
        EXPECT_EQ(range.first, std::stoll(match[1].str())) << text;
        EXPECT_EQ(range.total, std::stoll(match[3].str())) << text;
    }
    EXPECT_GT(matches, 500);  // the texts do reach the interesting cases
}

TEST(FitsFilePositions, RefusesTwoGibibytesAndUnknownSizes) {
    ContentRange huge{true, 2, 3221225472LL};
    EXPECT_FALSE(FitsFilePositions(WholeFileSize(3221225470LL, huge)));
    ContentRange justTooBig{true, 2, 2147483648LL};
    EXPECT_FALSE(FitsFilePositions(WholeFileSize(2147483646LL, justTooBig)));
    ContentRange largest{true, 2, 2147483647LL};
    EXPECT_TRUE(FitsFilePositions(WholeFileSize(2147483645LL, largest)));
    EXPECT_TRUE(FitsFilePositions(WholeFileSize(1048576, ContentRange{})));
    EXPECT_FALSE(FitsFilePositions(WholeFileSize(2147483648LL, ContentRange{})));
    EXPECT_FALSE(FitsFilePositions(WholeFileSize(-1, ContentRange{})));
    // Digits beyond any real size read as too large, never as a wrapped small number.
    EXPECT_FALSE(FitsFilePositions(
        WholeFileSize(10, FindContentRange("Content-Range: bytes 2-9/99999999999999999999999999\r\n"))));
}

TEST(ResponseHead, KeepsOnlyTheFinalResponsesStatusAndRange) {
    ResponseHead head;
    auto feed = [&head](const std::string& line) { ReadHeaderLine(line.data(), line.size(), head); };
    feed("HTTP/1.1 302 Found\r\n");
    feed("Content-Range: bytes 7-9/10\r\n");
    EXPECT_EQ(head.status, 302);
    EXPECT_EQ(head.rangeFirst, 7);
    feed("HTTP/1.1 206 Partial Content\r\n");  // the redirect's range is forgotten
    EXPECT_EQ(head.status, 206);
    EXPECT_EQ(head.rangeFirst, -1);
    feed("content-range: bytes 4194304-8388607/20971522\r\n");
    EXPECT_TRUE(AnswersRange(head, 4194304));
    EXPECT_FALSE(AnswersRange(head, 4194305));
    feed("HTTP/2 200\r\n");
    EXPECT_EQ(head.status, 200);
    EXPECT_FALSE(AnswersRange(head, 0));
}

TEST(ResponseHead, RangeRefusedUnlessPartialContentAtTheAskedByte) {
    struct Case {
        int status;
        int64_t rangeFirst, asked;
        bool accepted;
    } cases[] = {
        {206, 100, 100, true}, {200, -1, 100, false}, {206, 101, 100, false},
        {404, -1, 0, false},   {206, -1, 0, false},   {416, 100, 100, false},
    };
    for (const Case& c : cases) EXPECT_EQ(AnswersRange(ResponseHead{c.status, c.rangeFirst}, c.asked), c.accepted);
}

TEST(PartComplete, EveryPartMustReachItsEnd) {
    struct Case {
        int32_t position, lastByte;
        int64_t wholeSize;
        bool askedRange, complete;
    } cases[] = {
        {1048576, 1048575, 4194304, true, true},    // bounded, all there
        {1047576, 1048575, 4194304, true, false},   // bounded, 1000 bytes short
        {4194304, -1, 4194304, true, true},         // open part up to the end
        {4193304, -1, 4194304, true, false},        // open part short of the end
        {2000, 0, 4194304, false, true},            // plain whole file: libcurl checks its length
        {2000, 0, 4194304, true, false},            // whole file continued with a range, short
        {4194304, 0, 4194304, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PartComplete(c.position, c.lastByte, c.wholeSize, c.askedRange), c.complete)
            << c.position << " " << c.lastByte;
    }
}

TEST(SkipsPeerVerification, OnlyForSchemeWrittenInLowerCase) {
    EXPECT_TRUE(SkipsPeerVerification("https://example.com/a.exe"));
    EXPECT_FALSE(SkipsPeerVerification("HTTPS://example.com/a.exe"));
    EXPECT_FALSE(SkipsPeerVerification("Https://example.com/a.exe"));
    EXPECT_FALSE(SkipsPeerVerification("http://example.com/a.exe"));
    EXPECT_FALSE(SkipsPeerVerification("http"));
    EXPECT_FALSE(SkipsPeerVerification(""));
}

// Hostile header text: whatever a server sends, reading it never crashes and
// never yields a negative first byte or a status outside three digits.
TEST(ResponseHead, SurvivesRandomisedCorruptHeaders) {
    std::mt19937 random(1234);
    const std::string seeds[] = {"HTTP/1.1 206 Partial Content\r\n", "Content-Range: bytes 2-9/10\r\n",
                                 "Content-Range: bytes 99999999999999999999999-/1\r\n", "HTTP/ 999999999999\r\n"};
    for (int round = 0; round < 5000; ++round) {
        std::string line = seeds[round % 4];
        int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !line.empty(); ++e) {
            size_t at = random() % line.size();
            switch (random() % 3) {
                case 0: line[at] = static_cast<char>(random() % 256); break;
                case 1: line.erase(at, 1 + random() % 4); break;
                default: line.insert(at, 1, "0123456789-/ :"[random() % 14]); break;
            }
        }
        ResponseHead head;
        ReadHeaderLine(line.data(), line.size(), head);
        EXPECT_GE(head.status, 0);
        EXPECT_LT(head.status, 1000);
        EXPECT_GE(head.rangeFirst, -1);
        ContentRange range = FindContentRange(line);
        if (range.present) {
            EXPECT_GE(range.first, 0);
            EXPECT_GE(range.total, 0);
        }
    }
}

}  // namespace
