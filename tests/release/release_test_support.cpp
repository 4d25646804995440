#include "release_test_support.h"

#include <cstdio>
#include <sstream>

#include "support/test_paths.h"

namespace releasetest {

std::vector<Listed> ProblemsIn(const std::string& out) {
    std::vector<Listed> found;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        Listed listed;
        size_t prefix = 0;
        if (line.rfind("error: line ", 0) == 0) {
            listed.error = true;
            prefix = 12;
        } else if (line.rfind("warning: line ", 0) == 0) {
            prefix = 14;
        } else {
            continue;
        }
        listed.line = std::atoi(line.c_str() + prefix);
        listed.text = line.substr(line.find(": ", prefix) + 2);
        found.push_back(listed);
    }
    return found;
}

std::wstring WriteDocument(const testsupport::TempDir& dir, const std::string& bytes) {
    std::wstring path = dir / L"Update.cfg";
    testsupport::WriteFileBytes(path, bytes);
    return path;
}

release::CommandOutput Check(const std::wstring& path, const std::vector<std::wstring>& args) {
    std::vector<std::wstring> all{L"check", path};
    all.insert(all.end(), args.begin(), args.end());
    return release::RunRelease(all);
}

std::string Rule(const std::string& md5, const std::string& type, const std::string& pattern) {
    return R"({ "TargetMD5": ")" + md5 + R"(", "Type": ")" + type + R"(", "VersionUpdate": ")" + pattern + R"(" })";
}

std::string Package(const std::string& md5, const std::string& url, const std::string& version) {
    return "\"" + md5 + R"(": { "ExeUrl": ")" + url + R"(", "Version": ")" + version + R"(" })";
}

std::string Document(const std::vector<std::string>& rules, const std::vector<std::string>& packages) {
    std::string text = "{\n  \"Configs\": [\n";
    for (size_t i = 0; i < rules.size(); ++i) text += "    " + rules[i] + (i + 1 < rules.size() ? ",\n" : "\n");
    text += "  ],\n  \"Targets\": {\n";
    for (size_t i = 0; i < packages.size(); ++i) {
        text += "    " + packages[i] + (i + 1 < packages.size() ? ",\n" : "\n");
    }
    return text + "  }\n}\n";
}

std::string Md5For(int seed) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X", 0xA5A5A5A5u, static_cast<unsigned>(seed) * 2654435761u,
                  0x1234ABCDu, static_cast<unsigned>(seed));
    return text;
}

std::wstring SignatureFixture(const std::string& name) {
    return testsupport::BuildDir() + L"tests\\release\\signatures\\" + std::wstring(name.begin(), name.end());
}

std::string SignatureFixtureLine(const std::string& name, size_t index) {
    std::istringstream lines(testsupport::ReadFileBytes(SignatureFixture(name)));
    std::string line;
    for (size_t i = 0; std::getline(lines, line); ++i) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (i == index) return line;
    }
    return std::string();
}

}  // namespace releasetest
