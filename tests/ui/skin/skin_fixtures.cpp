#include "skin/skin_fixtures.h"

#include <algorithm>
#include <sstream>

#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace skintest {

std::wstring FixtureDir() { return testsupport::BuildDir() + L"tests\\ui\\skin\\skin_fixtures\\"; }

std::vector<std::string> FixtureList(const char* listName) {
    std::istringstream lines(testsupport::ReadFileBytes(FixtureDir() + Widen(listName)));
    std::vector<std::string> out;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

std::string TreeFile(const std::string& relativeName) {
    std::wstring path = FixtureDir() + L"tree\\" + Widen(relativeName);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return testsupport::ReadFileBytes(path);
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace skintest
