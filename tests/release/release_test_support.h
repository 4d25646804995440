#pragma once
// Running tarsel-release's commands in-process on documents written for a
// test, and reading back the problems it lists.

#include <string>
#include <vector>

#include "release/release_command.h"
#include "support/temp_dir.h"

namespace releasetest {

struct Listed {
    bool error = false;
    int line = 0;
    std::string text;
};

// The "error:" and "warning:" lines of an output.
std::vector<Listed> ProblemsIn(const std::string& out);

// Writes `bytes` as "Update.cfg" in `dir` and returns its path.
std::wstring WriteDocument(const testsupport::TempDir& dir, const std::string& bytes);

// "check PATH ARGS...".
release::CommandOutput Check(const std::wstring& path, const std::vector<std::wstring>& args = {});

// A rule and a package as document text.
std::string Rule(const std::string& md5, const std::string& type, const std::string& pattern);
std::string Package(const std::string& md5, const std::string& url, const std::string& version);
// {"Configs": [rules...], "Targets": {packages...}} one item a line.
std::string Document(const std::vector<std::string>& rules, const std::vector<std::string>& packages);

// A digest the launcher accepts, different for every seed.
std::string Md5For(int seed);

// A file of build/tests/release/signatures/ (ctest fixture
// "release_signing_fixtures", made with minisign, md5sum and sha256sum).
std::wstring SignatureFixture(const std::string& name);
// Line `index` (0-based, without its line end) of such a file; "" when none.
std::string SignatureFixtureLine(const std::string& name, size_t index);

}  // namespace releasetest
