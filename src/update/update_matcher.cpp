#include "update/update_matcher.h"

#include "update/version_pattern.h"
#include "util/util.h"

const std::string& UpdateInfoField(const UpdateInfo& info, const char* key) {
    static const std::string empty;
    auto it = info.find(key);
    return it == info.end() ? empty : it->second;
}

namespace {

bool IsFolderVersion(const std::string& name) {
    std::array<std::string_view, 4> groups;
    return !name.empty() && version_text::SplitFourNumbers(name, groups);
}

// Folder names as ANSI text, keeping only four-number names, in the order
// the scans visit them: from the last listed to the first.
std::vector<std::string> VersionNamesFromLast(const std::vector<std::string>& names) {
    std::vector<std::string> versions;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (IsFolderVersion(*it)) versions.push_back(*it);
    }
    return versions;
}

std::vector<std::string> ListFolderNames(const std::wstring& dir) {
    std::vector<std::wstring> wide;
    // An unknown launcher folder ("") must not become the current folder.
    if (!dir.empty()) Util::ListSubdirectories(dir, wide, false, false);
    std::vector<std::string> names;
    names.reserve(wide.size());
    for (const std::wstring& name : wide) names.push_back(Util::WideToAnsi(name));
    return names;
}

}  // namespace

std::vector<int> UpdateMatcher::SplitVersion(const std::string& text) {
    std::vector<int> numbers;
    if (text.empty()) return numbers;
    size_t start = 0;
    while (true) {
        size_t dot = text.find('.', start);
        size_t end = dot == std::string::npos ? text.size() : dot;
        if (end == start) return {};  // an empty field: not a version at all
        numbers.push_back(version_text::ReadNumber(std::string_view(text).substr(start, end - start)));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return numbers;
}

std::string UpdateMatcher::MaxVersion(const std::string& first, const std::string& second) {
    std::vector<int> a = SplitVersion(first);
    std::vector<int> b = SplitVersion(second);
    if (a.size() != 4 || b.size() != 4) return first;
    for (size_t i = 0; i < 4; ++i) {
        if (a[i] != b[i]) return a[i] > b[i] ? first : second;
    }
    return first;
}

bool UpdateMatcher::MatchVersionField(const std::string& value, const std::string& pattern) {
    if (pattern == "*") return true;
    std::string_view low, high;
    if (version_text::SplitRange(pattern, low, high)) {
        int v = version_text::ReadNumber(value);
        return v >= version_text::ReadNumber(low) && v <= version_text::ReadNumber(high);
    }
    return value == pattern;
}

bool UpdateMatcher::MatchVersion(const std::string& version, const std::string& pattern) {
    std::array<std::string_view, 4> patternFields;
    std::array<std::string_view, 4> versionFields;
    if (!version_text::SplitFourPatternFields(pattern, patternFields)) return false;
    if (!version_text::SplitFourNumbers(version, versionFields)) return false;
    for (size_t i = 0; i < 4; ++i) {
        if (!MatchVersionField(std::string(versionFields[i]), std::string(patternFields[i]))) return false;
    }
    return true;
}

std::string UpdateMatcher::NewestVersionOf(const std::vector<std::string>& folderNames) {
    std::string best;
    for (const std::string& name : VersionNamesFromLast(folderNames)) {
        best = best.empty() ? name : MaxVersion(best, name);
    }
    return best;
}

std::string UpdateMatcher::SecondNewestVersionOf(const std::vector<std::string>& folderNames) {
    std::string best;
    std::string second;
    for (const std::string& name : VersionNamesFromLast(folderNames)) {
        if (best.empty()) {
            best = name;
        } else if (second.empty()) {
            second = name;
            if (MaxVersion(best, name) == name) {
                second = best;
                best = name;
            }
        } else if (MaxVersion(best, name) == name) {
            second = best;
            best = name;
        } else if (MaxVersion(second, name) == name) {
            second = name;
        }
    }
    return second;
}

std::string UpdateMatcher::GetNewestVersionIn(const std::wstring& dir) {
    return NewestVersionOf(ListFolderNames(dir));
}

std::string UpdateMatcher::GetSecondNewestVersionIn(const std::wstring& dir) {
    return SecondNewestVersionOf(ListFolderNames(dir));
}

std::string UpdateMatcher::GetNewestInstalledVersion() const { return GetNewestVersionIn(Util::GetModuleDir()); }

std::string UpdateMatcher::GetSecondNewestInstalledVersion() const {
    return GetSecondNewestVersionIn(Util::GetModuleDir());
}
