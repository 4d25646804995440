#include "release/online_check.h"

// winsock2.h before windows.h, so that libcurl's headers may follow; the
// comment between them keeps include sorting from swapping the two.
#include <winsock2.h>
//
#include <windows.h>

#include <set>

#include "digest/file_digests.h"
#include "digest/sha256.h"
#include "net/download_plan.h"
#include "net/http_downloader.h"
#include "net/if_range_probe.h"
#include "update/update_check.h"
#include "util/file_size.h"
#include "util/util.h"

namespace release {
namespace {

// As many parts as the update check allows itself.
constexpr int kPartLimit = 5;

std::string ResumeReport(const PackageFetch& fetch) {
    if (fetch.validator.empty()) return "no validator";
    std::string report = fetch.validator.etag.empty() ? "Last-Modified " + fetch.validator.lastModified
                                                      : "ETag " + fetch.validator.etag;
    if (fetch.ifRangeSameVersion != 0) {
        report += ", If-Range answered " + std::to_string(fetch.ifRangeSameVersion) + " and " +
                  std::to_string(fetch.ifRangeOtherVersion);
    }
    return report;
}

}  // namespace

std::string ResumeWarning(const PackageFetch& fetch) {
    if (!fetch.rangesSupported) return "the server sends it in one transfer (no byte ranges)";
    if (fetch.validator.empty()) return "the server names no version of it (no ETag or Last-Modified)";
    if (fetch.ifRangeSameVersion != 206) {
        return "the server answers a range asked If-Range the version is unchanged with " +
               std::to_string(fetch.ifRangeSameVersion) + ", not 206";
    }
    if (fetch.ifRangeOtherVersion != 200) {
        return "the server ignores If-Range: asked for a range of another version it answered " +
               std::to_string(fetch.ifRangeOtherVersion) + ", not the whole file (200)";
    }
    return std::string();
}

PackageFetch FetchPackage(const std::string& url, bool withSha256) {
    PackageFetch fetch;
    std::string stem = Util::MakeTempFileA("trl");
    if (stem.empty()) {
        fetch.error = "no temporary file";
        return fetch;
    }
    const std::string file = stem + ".exe";
    HttpDownloader downloader;
    downloader.SetDownloadUrl(url);
    downloader.DownloadFile(file, kPartLimit);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    std::string headers;
    std::string error;
    int code = 0;
    if (handle) {
        downloader.GetReceiveHeader(handle, &headers);
        downloader.GetErrorString(handle, &error);
        downloader.GetHttpCode(handle, &code);
    }
    const std::wstring wideFile = Util::AnsiToWide(file);
    fetch.size = Util::FileSizeOrMissing(wideFile);
    fetch.fetched = handle && fetch.size > 0;
    if (fetch.fetched) {
        fetch.rangesSupported = net::FindContentRange(headers).present;
        fetch.validator = net::FindValidator(headers);
        if (fetch.rangesSupported && !fetch.validator.empty()) {
            const net::TransferSettings settings{url, 1, 60, {}};
            const std::string ifRange = net::IfRangeValue(fetch.validator);
            fetch.ifRangeSameVersion = net::IfRangeAnswer(settings, ifRange);
            fetch.ifRangeOtherVersion = net::IfRangeAnswer(settings, net::ForeignIfRangeValue(ifRange));
        }
        // One pass over the file, as the update check verifies it.
        const FileDigests digests =
            GetFileDigests(wideFile, withSha256 ? DigestSet::kMd5AndSha256 : DigestSet::kMd5);
        fetch.digest = UpperCaseDigest(digests.md5);
        fetch.sha256 = digests.sha256;
    } else if (!handle) {
        fetch.error = "the download could not start";
    } else {
        // libcurl names the failure; an HTTP error status ends a part with
        // its message for success, so the status says more then.
        bool curlFailed = !error.empty() && error != "No error";
        bool httpFailed = code != 0 && (code < 200 || code > 299);
        if (curlFailed) fetch.error = error;
        if (httpFailed) {
            fetch.error +=
                (curlFailed ? " (HTTP " : "the server answered HTTP ") + std::to_string(code) + (curlFailed ? ")" : "");
        }
        if (fetch.error.empty()) fetch.error = "nothing arrived";
    }
    downloader.CloseDownload(handle);
    Util::RemoveFile(wideFile);
    Util::RemoveFile(Util::AnsiToWide(stem));
    return fetch;
}

std::vector<std::string> CheckOnline(CheckedDocument& document) {
    std::vector<std::string> lines;
    std::set<std::string> seen;
    for (size_t i = 0; i < document.rules.size(); ++i) {
        const UpdateInfo& rule = document.rules[i];
        const std::string& md5 = UpdateInfoField(rule, "md5");
        const std::string& url = UpdateInfoField(rule, "url");
        const auto sha256 = rule.find("sha256");
        const bool withSha256 = sha256 != rule.end();
        const std::string key = md5 + "\n" + url + "\n" + (withSha256 ? "=" + sha256->second : std::string());
        if (url.empty() || !seen.insert(key).second) continue;
        const int line = i < document.ruleLines.size() ? document.ruleLines[i] : 1;
        PackageFetch fetch = FetchPackage(url, withSha256);
        if (!fetch.fetched) {
            lines.push_back("online: " + url + ": not fetched: " + fetch.error);
            document.problems.push_back(
                {true, line, "package " + md5 + " cannot be fetched from " + url + ": " + fetch.error});
            continue;
        }
        bool matches = fetch.digest == md5;
        std::string report = "online: " + url + ": " + std::to_string(fetch.size) + " bytes, " +
                             (fetch.rangesSupported ? "byte ranges supported" : "no byte ranges (fetched in one transfer)") +
                             ", " + ResumeReport(fetch) + ", MD5 " + fetch.digest +
                             (matches ? " matches" : " differs from " + md5);
        const std::string resume = ResumeWarning(fetch);
        if (!resume.empty()) {
            document.problems.push_back({false, line,
                                         "package at " + url + ": an interrupted download starts over from zero: " +
                                             resume});
        }
        if (!matches) {
            document.problems.push_back(
                {true, line,
                 "package at " + url + " has MD5 " + fetch.digest + ", not " + md5 + ": the launcher rejects it"});
        }
        if (withSha256) {
            // The launcher's own comparison: either case, a malformed
            // expectation never matches (check lists that one by itself).
            const bool shaMatches = Sha256TextMatches(fetch.sha256, sha256->second);
            report += ", SHA256 " + fetch.sha256 + (shaMatches ? " matches" : " differs from " + sha256->second);
            if (!shaMatches) {
                document.problems.push_back({true, line,
                                             "package at " + url + " has SHA256 " + fetch.sha256 + ", not " +
                                                 sha256->second + ": the launcher rejects it"});
            }
        }
        lines.push_back(report);
    }
    return lines;
}

}  // namespace release
