#include "net/download_plan.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <regex>

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

ContentRange FindContentRange(const std::string& headers) {
    static const std::regex pattern(R"(CONTENT-RANGE\s*:\s*\w+\s*(\d+)-(\d*)/(\d+))", std::regex::icase);
    ContentRange range;
    std::smatch match;
    if (!std::regex_search(headers, match, pattern)) return range;
    // Digit runs longer than 18 cannot be a size we could ever fetch.
    if (match[1].length() > 18 || match[3].length() > 18) {
        range.present = true;
        range.first = 0;
        range.total = INT64_MAX;
        return range;
    }
    range.present = true;
    range.first = std::strtoll(match[1].str().c_str(), nullptr, 10);
    range.total = std::strtoll(match[3].str().c_str(), nullptr, 10);
    return range;
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
