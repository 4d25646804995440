#pragma once
// Writing an update configuration document where ParseUpdateConfig can
// read (and delete) it.

#include <string>

#include "support/temp_dir.h"
#include "update/update_matcher.h"

namespace updatetest {

// The document's ANSI path inside `dir`, written with `bytes`.
std::string WriteDocument(const testsupport::TempDir& dir, const std::string& bytes);

// A document with one package per rule: each rule i hands out package
// "MD5_i" of version `versions[i]` to installed versions `patterns[i]`.
std::string DocumentWithRules(const std::vector<std::pair<std::string, std::string>>& patternAndVersion);

}  // namespace updatetest
