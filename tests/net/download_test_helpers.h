#pragma once
// Shared steps of the downloader's server tests.

#include <string>
#include <vector>

#include "net/http_downloader.h"
#include "support/http_test_servers.h"
#include "support/temp_dir.h"

namespace nettest {

// A file name no other test process uses: "<base>-<pid>-<counter>.bin".
std::string UniqueName(const std::string& base);

struct FetchOutcome {
    HttpDownloader::Handle handle = nullptr;
    int partLimit = 0;
    int httpCode = 0;
    std::string error;
    bool targetExists = false;
    bool sideFileExists = false;
    std::string bytes;  // the target's contents
};

// Downloads `url` to `target` in the calling thread with the part limit.
FetchOutcome Fetch(const std::string& url, const std::wstring& target, int partLimit);

// The Range headers of the GET requests nginx (or the fault server) saw for
// NAME, sorted; "-" for a request without one.
std::vector<std::string> NginxGetRanges(const testsupport::HttpTestServers& servers, const std::string& name);
std::vector<std::string> FaultGetRanges(const testsupport::HttpTestServers& servers, const std::string& name);
// The same for the fault server's requests of any method ("GET", "HEAD").
std::vector<std::string> FaultRanges(const testsupport::HttpTestServers& servers, const std::string& name,
                                     const std::string& method);

}  // namespace nettest
