#include "net/download_plan.h"

#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace net {
namespace {

constexpr double kMiB = 1048576.0;

// Reads a run of decimal digits; false when there is none or it overflows.
bool ReadNumber(const char*& p, const char* end, int64_t& value) {
    const char* start = p;
    value = 0;
    while (p < end && std::isdigit(static_cast<unsigned char>(*p))) {
        if (value > (INT64_MAX - 9) / 10) return false;
        value = value * 10 + (*p - '0');
        ++p;
    }
    return p != start;
}

void SkipBlanks(const char*& p, const char* end) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
}

bool StartsWithNoCase(const char* text, size_t length, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (length < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

}  // namespace

int PartCountForSize(double size) {
    if (size <= 2 * kMiB) return 1;
    if (size <= 10 * kMiB) return static_cast<int>(size / (2 * kMiB));
    if (size <= 50 * kMiB) return 5;
    int count = static_cast<int>(size / (10 * kMiB));
    return count > 10 ? 10 : count;
}

std::vector<PartRange> PlanParts(double size, int count, bool rangesSupported) {
    std::vector<PartRange> parts;
    if (!rangesSupported || count <= 1) {
        parts.push_back(PartRange{0, 0});
        return parts;
    }
    int32_t partSize = static_cast<int32_t>(static_cast<int64_t>(size) / count);
    for (int i = 0; i < count; ++i) {
        int32_t first = i * partSize;
        int32_t last = (i == count - 1) ? -1 : first + partSize - 1;
        parts.push_back(PartRange{first, last});
    }
    return parts;
}

std::string RangeText(int32_t position, int32_t last) {
    if (last > 0) return std::to_string(position) + "-" + std::to_string(last);
    if (last < 0 || position > 0) return std::to_string(position) + "-";
    return std::string();
}

namespace {

// The character classes of the pattern, in the "C" locale.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsDigit(c) || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A run of digits as a number that saturates instead of overflowing: a
// length no file can have still reads as too large, never as a small one.
int64_t SaturatedNumber(const char* first, const char* last) {
    int64_t value = 0;
    for (const char* p = first; p < last; ++p) {
        if (value > (INT64_MAX - 9) / 10) return INT64_MAX;
        value = value * 10 + (*p - '0');
    }
    return value;
}

// "-" [digits] "/" digits, after the first byte's digits.
bool MatchRangeTail(const char* p, const char* end, int64_t& total) {
    if (p >= end || *p != '-') return false;
    ++p;
    while (p < end && IsDigit(*p)) ++p;
    if (p >= end || *p != '/') return false;
    const char* digits = ++p;
    while (p < end && IsDigit(*p)) ++p;
    if (p == digits) return false;
    total = SaturatedNumber(digits, p);
    return true;
}

// The rest of "Content-Range" blanks ":" blanks unit blanks first "-"
// [last] "/" total, with the unit and the first byte told apart the way a
// backtracking match of \w+\s*(\d+) tells them apart: the whole word run
// is the unit when blanks and digits follow it; otherwise the unit is all
// but the run's last character, which must then be a digit.
bool MatchAfterName(const char* p, const char* end, ContentRange& range) {
    while (p < end && IsBlank(*p)) ++p;
    if (p >= end || *p != ':') return false;
    ++p;
    while (p < end && IsBlank(*p)) ++p;
    const char* word = p;
    while (p < end && IsWordChar(*p)) ++p;
    const char* wordEnd = p;
    if (wordEnd == word) return false;

    const char* digits = wordEnd;
    while (digits < end && IsBlank(*digits)) ++digits;
    const char* digitsEnd = digits;
    while (digitsEnd < end && IsDigit(*digitsEnd)) ++digitsEnd;
    if (digitsEnd > digits && MatchRangeTail(digitsEnd, end, range.total)) {
        range.first = SaturatedNumber(digits, digitsEnd);
        return true;
    }
    if (wordEnd - word >= 2 && IsDigit(wordEnd[-1]) && MatchRangeTail(wordEnd, end, range.total)) {
        range.first = wordEnd[-1] - '0';
        return true;
    }
    return false;
}

}  // namespace

ContentRange FindContentRange(const std::string& headers) {
    // A hand-written scan rather than a regular expression: the library's
    // backtracking matcher recurses once per character and a hostile header
    // of a few thousand blanks overflows the stack.
    static const char kName[] = "CONTENT-RANGE";
    const size_t nameLength = sizeof kName - 1;
    const char* text = headers.data();
    const char* end = text + headers.size();
    for (const char* p = text; end - p >= static_cast<ptrdiff_t>(nameLength); ++p) {
        if (!StartsWithNoCase(p, static_cast<size_t>(end - p), kName)) continue;
        ContentRange range;
        if (MatchAfterName(p + nameLength, end, range)) {
            range.present = true;
            return range;
        }
    }
    return ContentRange{};
}

int64_t WholeFileSize(int64_t reportedLength, const ContentRange& range) {
    if (reportedLength < 0) return -1;
    if (range.present) return range.total > reportedLength ? range.total : reportedLength;
    return reportedLength;
}

bool FitsFilePositions(int64_t wholeFileSize) { return wholeFileSize >= 0 && wholeFileSize <= kMaxFileSize; }

void ReadHeaderLine(const char* line, size_t length, ResponseHead& head) {
    const char* end = line + length;
    if (StartsWithNoCase(line, length, "HTTP/")) {
        // A new response begins (after a redirect or an interim answer).
        head = ResponseHead{};
        const char* p = line + 5;
        while (p < end && *p != ' ') ++p;
        SkipBlanks(p, end);
        int64_t code = 0;
        if (ReadNumber(p, end, code) && code < 1000) head.status = static_cast<int>(code);
        return;
    }
    if (!StartsWithNoCase(line, length, "Content-Range:")) return;
    const char* p = line + std::strlen("Content-Range:");
    SkipBlanks(p, end);
    while (p < end && std::isalpha(static_cast<unsigned char>(*p))) ++p;  // the unit
    SkipBlanks(p, end);
    int64_t first = 0;
    if (ReadNumber(p, end, first) && p < end && *p == '-') head.rangeFirst = first;
}

bool AnswersRange(const ResponseHead& head, int64_t requestedFirst) {
    return head.status == 206 && head.rangeFirst == requestedFirst;
}

bool PartComplete(int32_t position, int32_t lastByte, int64_t wholeFileSize, bool askedRange) {
    if (lastByte > 0) return position == static_cast<int64_t>(lastByte) + 1;
    if (lastByte < 0 || askedRange) return position >= wholeFileSize;
    return true;
}

bool SkipsPeerVerification(const std::string& url) { return url.compare(0, 5, "https") == 0; }

}  // namespace net
