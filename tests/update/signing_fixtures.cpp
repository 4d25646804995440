#include "signing_fixtures.h"

#include <sstream>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace signingtest {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

}  // namespace

std::string Fixture(const std::string& name) {
    return testsupport::ReadFileBytes(testsupport::BuildDir() + L"tests\\update\\signing_fixtures\\" +
                                      std::wstring(name.begin(), name.end()));
}

std::string PublicKeyLine(const std::string& pubName) { return Line(Fixture(pubName), 1); }

std::string Line(const std::string& text, size_t index) {
    std::vector<std::string> lines = Lines(text);
    return index < lines.size() ? lines[index] : std::string();
}

std::string ReplaceLine(const std::string& text, size_t index, const std::string& line) {
    std::vector<std::string> lines = Lines(text);
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) joined += (i == index ? line : lines[i]) + "\n";
    return joined;
}

}  // namespace signingtest
