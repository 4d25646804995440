#pragma once
// The optional SHA-256 of an update package: "Targets".<md5>."SHA256" in
// the document, key "sha256" of the data file once the package is recorded.

#include <optional>
#include <string>

#include "update/update_matcher.h"

class CIniFile;

// What the record's package must match besides its MD5; nullopt when the
// document gave no SHA-256 (a given but malformed one is returned as it is
// and never matches).
std::optional<std::string> PackageSha256(const UpdateInfo& record);

// Records the new package's SHA-256 beside its other keys. Without one, an
// earlier package's value is cleared so that it cannot judge the new one;
// a data file that never had one is left without the key.
void RecordPackageSha256(CIniFile& launcherData, const std::optional<std::string>& sha256);
