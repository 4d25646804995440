#include "net/download_record.h"

#include <cstdlib>
#include <map>

#include "net/download_plan.h"

namespace net {
namespace {

constexpr const char* kHeading = "tarsel download record 1";

bool FitsOneLine(const std::string& value) {
    return value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

// A decimal number without sign, blanks or leading zeros, within `max`.
bool ReadNumber(const std::string& text, int64_t max, int64_t& value) {
    if (text.empty() || text.size() > 19 || (text.size() > 1 && text[0] == '0')) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= max;
}

bool ReadPart(const std::string& text, RecordedPart& part) {
    // "first last position", last "-1" for the open part.
    const size_t a = text.find(' ');
    const size_t b = a == std::string::npos ? a : text.find(' ', a + 1);
    if (b == std::string::npos || text.find(' ', b + 1) != std::string::npos) return false;
    int64_t first = 0, last = 0, position = 0;
    const std::string lastText = text.substr(a + 1, b - a - 1);
    if (!ReadNumber(text.substr(0, a), kMaxFileSize, first)) return false;
    if (lastText == "-1") {
        last = -1;
    } else if (!ReadNumber(lastText, kMaxFileSize, last)) {
        return false;
    }
    if (!ReadNumber(text.substr(b + 1), kMaxFileSize, position)) return false;
    part = RecordedPart{static_cast<int32_t>(first), static_cast<int32_t>(last), static_cast<int32_t>(position)};
    return true;
}

}  // namespace

bool PartDone(const RecordedPart& part, int64_t size) {
    if (part.last > 0) return part.position > part.last;
    return part.position >= size;
}

bool PartsAreConsistent(const std::vector<RecordedPart>& parts, int64_t size) {
    if (size < 1 || size > kMaxFileSize || parts.empty() || parts.size() > kMaxRecordedParts) return false;
    if (parts.size() == 1 && parts[0].first == 0 && parts[0].last == 0) {
        return parts[0].position >= 0 && parts[0].position <= size;
    }
    int64_t next = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const RecordedPart& part = parts[i];
        const bool final = i + 1 == parts.size();
        if (part.first != next || part.position < part.first) return false;
        if (final) {
            if (part.last != -1 || part.first >= size || part.position > size) return false;
        } else {
            if (part.last < part.first || part.last >= size - 1) return false;
            if (part.position > static_cast<int64_t>(part.last) + 1) return false;
            next = static_cast<int64_t>(part.last) + 1;
        }
    }
    return true;
}

int64_t BytesDone(const std::vector<RecordedPart>& parts) {
    int64_t done = 0;
    for (const RecordedPart& part : parts) done += part.position - part.first;
    return done;
}

std::string FormatDownloadRecord(const DownloadRecord& record) {
    if (!PartsAreConsistent(record.parts, record.size) || !IsSendableValidator(record.validator) || record.url.empty() ||
        record.file.empty())
        return std::string();
    for (const std::string* value : {&record.url, &record.validator.etag, &record.validator.lastModified,
                                     &record.md5, &record.sha256, &record.file}) {
        if (!FitsOneLine(*value)) return std::string();
    }
    std::string text = std::string(kHeading) + "\n";
    text += "url " + record.url + "\n";
    text += "size " + std::to_string(record.size) + "\n";
    text += "etag " + record.validator.etag + "\n";
    text += "last-modified " + record.validator.lastModified + "\n";
    text += "md5 " + record.md5 + "\n";
    text += "sha256 " + record.sha256 + "\n";
    text += "file " + record.file + "\n";
    for (const RecordedPart& part : record.parts) {
        text += "part " + std::to_string(part.first) + " " + std::to_string(part.last) + " " +
                std::to_string(part.position) + "\n";
    }
    text += "end\n";
    return text.size() <= kMaxRecordBytes ? text : std::string();
}

std::optional<DownloadRecord> ParseDownloadRecord(const std::string& text) {
    if (text.empty() || text.size() > kMaxRecordBytes || text.back() != '\n') return std::nullopt;
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    // The heading first and "end" last: a record cut short is refused.
    if (lines.size() < 2 || lines.front() != kHeading || lines.back() != "end") return std::nullopt;

    DownloadRecord record;
    std::map<std::string, std::string> values;
    const char* const keys[] = {"url", "size", "etag", "last-modified", "md5", "sha256", "file"};
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find('\r') != std::string::npos || line.find('\0') != std::string::npos) return std::nullopt;
        const size_t space = line.find(' ');
        if (space == std::string::npos) return std::nullopt;
        const std::string key = line.substr(0, space);
        const std::string value = line.substr(space + 1);
        if (key == "part") {
            if (record.parts.size() == kMaxRecordedParts) return std::nullopt;
            RecordedPart part;
            if (!ReadPart(value, part)) return std::nullopt;
            record.parts.push_back(part);
            continue;
        }
        bool known = false;
        for (const char* k : keys) known = known || key == k;
        if (!known || !values.emplace(key, value).second) return std::nullopt;
    }
    if (values.size() != sizeof keys / sizeof keys[0]) return std::nullopt;
    record.url = values["url"];
    if (!ReadNumber(values["size"], kMaxFileSize, record.size)) return std::nullopt;
    record.validator.etag = values["etag"];
    record.validator.lastModified = values["last-modified"];
    record.md5 = values["md5"];
    record.sha256 = values["sha256"];
    record.file = values["file"];
    if (record.url.empty() || record.file.empty() || !IsSendableValidator(record.validator)) return std::nullopt;
    if (!PartsAreConsistent(record.parts, record.size)) return std::nullopt;
    return record;
}

}  // namespace net
