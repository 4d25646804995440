#include "launcher/client_target.h"

#include <windows.h>

#include <vector>

#include "util/diagnostics.h"
#include "util/path_element.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::optional<std::wstring> ConfineClientTarget(const std::wstring& target) {
    // A leading separator roots the path at the drive (or starts a UNC or
    // "\\\\?\\" name); a colon anywhere is a drive or a stream.
    if (target.empty() || IsSeparator(target.front()) || target.find(L':') != std::wstring::npos) {
        return std::nullopt;
    }
    std::vector<std::wstring> elements;
    size_t pos = 0;
    while (pos <= target.size()) {
        size_t end = pos;
        while (end < target.size() && !IsSeparator(target[end])) ++end;
        const std::wstring element = target.substr(pos, end - pos);
        pos = end + 1;
        if (element.empty() || element == L".") continue;
        if (element == L"..") {
            if (elements.empty()) return std::nullopt;  // climbs out of the version folder
            elements.pop_back();
            continue;
        }
        if (!Util::IsPlainPathElement(element)) return std::nullopt;
        elements.push_back(element);
    }
    if (elements.empty() || !Util::HasExeExtension(elements.back())) return std::nullopt;
    std::wstring confined;
    for (const std::wstring& element : elements) {
        if (!confined.empty()) confined += L'\\';
        confined += element;
    }
    if (confined.size() >= MAX_PATH) return std::nullopt;
    return confined;
}

std::wstring ClientTargetToStart(const std::wstring& target) {
    if (target.empty()) return target;
    if (std::optional<std::wstring> confined = ConfineClientTarget(target)) return *confined;
    Util::DebugLine("[******] target refused, the default client is started\n");
    Util::DebugValue(target);
    return kDefaultClientTarget;
}
