#include "download_test_helpers.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "util/util.h"

namespace nettest {

std::string UniqueName(const std::string& base) {
    return testsupport::UniqueServerName(base) + ".bin";
}

FetchOutcome Fetch(const std::string& url, const std::wstring& target, int partLimit) {
    HttpDownloader downloader;
    downloader.SetDownloadUrl(url);
    downloader.DownloadFile(Util::WideToAnsi(target), partLimit);
    FetchOutcome outcome;
    outcome.handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    outcome.partLimit = downloader.GetPartLimit();
    downloader.GetHttpCode(outcome.handle, &outcome.httpCode);
    downloader.GetErrorString(outcome.handle, &outcome.error);
    outcome.targetExists = testsupport::FileExists(target);
    outcome.sideFileExists = testsupport::FileExists(target + L".dl");
    if (outcome.targetExists) outcome.bytes = testsupport::ReadFileBytes(target);
    return outcome;
}

namespace {

std::vector<std::string> Sorted(std::vector<std::string> ranges) {
    std::sort(ranges.begin(), ranges.end());
    return ranges;
}

}  // namespace

std::vector<std::string> NginxGetRanges(const testsupport::HttpTestServers& servers, const std::string& name) {
    // Lines look like: GET /name "bytes=0-5242879" 206 5242880
    std::istringstream lines(servers.NginxLog(name));
    std::vector<std::string> ranges;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("GET ", 0) != 0) continue;
        size_t open = line.find('"');
        size_t close = line.find('"', open + 1);
        if (open == std::string::npos || close == std::string::npos) continue;
        std::string range = line.substr(open + 1, close - open - 1);
        ranges.push_back(range.rfind("bytes=", 0) == 0 ? range.substr(6) : range);
    }
    return Sorted(ranges);
}

std::vector<std::string> FaultGetRanges(const testsupport::HttpTestServers& servers, const std::string& name) {
    return FaultRanges(servers, name, "GET");
}

std::vector<std::string> FaultRanges(const testsupport::HttpTestServers& servers, const std::string& name,
                                     const std::string& method) {
    // Lines look like: GET stall bytes=0-5242879
    std::istringstream lines(servers.FaultLog(name));
    std::vector<std::string> ranges;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(method + " ", 0) != 0) continue;
        std::string range = line.substr(line.rfind(' ') + 1);
        ranges.push_back(range.rfind("bytes=", 0) == 0 ? range.substr(6) : range);
    }
    return Sorted(ranges);
}

}  // namespace nettest
