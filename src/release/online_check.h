#pragma once
// Fetching every package a document hands out, with the launcher's own
// downloader, and saying what a user's launcher would get.

#include <string>
#include <vector>

#include "net/http_validator.h"
#include "release/document_check.h"

namespace release {

struct PackageFetch {
    bool fetched = false;
    long long size = 0;
    bool rangesSupported = false;
    std::string digest;  // upper case, as the launcher compares it
    std::string sha256;  // lower case; only when asked for
    std::string error;   // why nothing usable came
    // What a download continued by a later start relies on: the version
    // the server names the file by, and its answers to a one-byte request
    // with If-Range naming that version (206 expected) and another one
    // (200 expected); 0 when not asked (no validator or no ranges).
    net::Validator validator;
    int ifRangeSameVersion = 0;
    int ifRangeOtherVersion = 0;
};

// Why a download of this package interrupted half-way could not be
// continued safely by the next start, or "" when it can.
std::string ResumeWarning(const PackageFetch& fetch);

// Downloads `url` into a temporary file in up to five parts, the way the
// update check does, and measures it; the file is removed afterwards.
// `withSha256`: the package entry carries a SHA-256 to compare as well.
PackageFetch FetchPackage(const std::string& url, bool withSha256);

// One "online:" line per package that some rule hands out, and a problem
// for each package that cannot be fetched or whose digest differs.
std::vector<std::string> CheckOnline(CheckedDocument& document);

}  // namespace release
