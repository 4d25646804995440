#include "net/http_validator.h"

#include <cctype>
#include <cstring>

namespace net {
namespace {

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (text.size() - at < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

// Printable ASCII and blanks inside; nothing that ends or splits a line.
bool SafeValue(const std::string& value) {
    if (value.empty() || value.size() > kMaxValidatorLength) return false;
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) return false;
    }
    return true;
}

// A strong entity tag: a quoted run without quotes inside.
bool StrongTag(const std::string& value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
    return value.find('"', 1) == value.size() - 1;
}

std::string Trimmed(const std::string& text, size_t first, size_t last) {
    while (first < last && (text[first] == ' ' || text[first] == '\t')) ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r')) --last;
    return text.substr(first, last - first);
}

}  // namespace

Validator FindValidator(const std::string& headers) {
    Validator found;
    size_t line = 0;
    while (line < headers.size()) {
        size_t end = headers.find('\n', line);
        if (end == std::string::npos) end = headers.size();
        if (StartsWithNoCase(headers, line, "HTTP/")) {
            found = Validator{};  // a new response: only the last one counts
        } else if (StartsWithNoCase(headers, line, "ETag:")) {
            std::string value = Trimmed(headers, line + 5, end);
            found.etag = SafeValue(value) && StrongTag(value) ? value : std::string();
        } else if (StartsWithNoCase(headers, line, "Last-Modified:")) {
            std::string value = Trimmed(headers, line + 14, end);
            found.lastModified = SafeValue(value) ? value : std::string();
        }
        line = end + 1;
    }
    return found;
}

bool IsSendableValidator(const Validator& validator) {
    if (validator.empty()) return false;
    if (!validator.etag.empty() && !(SafeValue(validator.etag) && StrongTag(validator.etag))) return false;
    return validator.lastModified.empty() || SafeValue(validator.lastModified);
}

std::string IfRangeValue(const Validator& validator) {
    return validator.etag.empty() ? validator.lastModified : validator.etag;
}

}  // namespace net
