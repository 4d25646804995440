#include "update/version_pattern.h"

#include <climits>

namespace version_text {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The white space of "\s" in the classic locale.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

// The last '.' at or before `pos` that is not at the very start; npos when
// there is none.
size_t LastDotAtOrBefore(std::string_view text, size_t pos) {
    size_t dot = text.rfind('.', pos);
    return dot == 0 ? std::string_view::npos : dot;
}

}  // namespace

int ReadNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate towards the sign so that INT_MIN itself stays exact.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) {
            value = limit;
            // Keep consuming digits: the result stays saturated.
        }
    }
    return static_cast<int>(negative ? -value : value);
}

bool SplitFourNumbers(std::string_view text, std::array<std::string_view, 4>& groups) {
    size_t start = 0;
    for (size_t g = 0; g < 4; ++g) {
        size_t end = g < 3 ? text.find('.', start) : text.size();
        if (end == std::string_view::npos) return false;
        std::string_view field = text.substr(start, end - start);
        if (!AllDigits(field)) return false;
        groups[g] = field;
        start = end + 1;
    }
    return true;
}

bool SplitFourPatternFields(std::string_view text, std::array<std::string_view, 4>& groups) {
    for (char c : text) {
        if (IsSpace(c)) return false;
    }
    if (text.size() < 7) return false;
    // Greedy groups: of all ways to place the three separating dots, the
    // expression keeps the one whose first dot is furthest right, then the
    // second, then the third. Placing each dot as far right as the groups
    // after it allow, from the last one backwards, gives exactly that.
    size_t third = LastDotAtOrBefore(text, text.size() - 2);
    if (third == std::string_view::npos || third < 4) return false;
    size_t second = LastDotAtOrBefore(text, third - 2);
    if (second == std::string_view::npos || second < 2) return false;
    size_t first = LastDotAtOrBefore(text, second - 2);
    if (first == std::string_view::npos) return false;
    groups[0] = text.substr(0, first);
    groups[1] = text.substr(first + 1, second - first - 1);
    groups[2] = text.substr(second + 1, third - second - 1);
    groups[3] = text.substr(third + 1);
    return true;
}

bool SplitRange(std::string_view text, std::string_view& low, std::string_view& high) {
    if (text.size() < 5 || text.front() != '[' || text.back() != ']') return false;
    std::string_view inner = text.substr(1, text.size() - 2);
    size_t dash = inner.find('-');
    if (dash == std::string_view::npos) return false;
    std::string_view lo = inner.substr(0, dash);
    std::string_view hi = inner.substr(dash + 1);
    if (!AllDigits(lo) || !AllDigits(hi)) return false;
    low = lo;
    high = hi;
    return true;
}

}  // namespace version_text
