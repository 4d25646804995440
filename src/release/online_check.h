#pragma once
// Fetching every package a document hands out, with the launcher's own
// downloader, and saying what a user's launcher would get.

#include <string>
#include <vector>

#include "release/document_check.h"

namespace release {

struct PackageFetch {
    bool fetched = false;
    long long size = 0;
    bool rangesSupported = false;
    std::string digest;  // upper case, as the launcher compares it
    std::string sha256;  // lower case; only when asked for
    std::string error;   // why nothing usable came
};

// Downloads `url` into a temporary file in up to five parts, the way the
// update check does, and measures it; the file is removed afterwards.
// `withSha256`: the package entry carries a SHA-256 to compare as well.
PackageFetch FetchPackage(const std::string& url, bool withSha256);

// One "online:" line per package that some rule hands out, and a problem
// for each package that cannot be fetched or whose digest differs.
std::vector<std::string> CheckOnline(CheckedDocument& document);

}  // namespace release
