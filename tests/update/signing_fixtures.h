#pragma once
// What make_signing_fixtures.py wrote with the real minisign tool (ctest
// fixture "signing_fixtures"): key pairs, signatures over one file, and
// signed update servers on the test nginx under /signed-fixtures/.

#include <string>

namespace signingtest {

// A file of build/tests/update/signing_fixtures/, "" when missing.
std::string Fixture(const std::string& name);

// The base64 key line (line 2) of a ".pub" fixture.
std::string PublicKeyLine(const std::string& pubName);

// The line of a text with index `index` (0-based) replaced.
std::string ReplaceLine(const std::string& text, size_t index, const std::string& line);
std::string Line(const std::string& text, size_t index);

}  // namespace signingtest
