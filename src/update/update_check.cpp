#include "update/update_check.h"

#include <winsock2.h>
#include <windows.h>

#include <cwchar>
#include <vector>

#include "digest/file_digests.h"
#include "digest/sha256.h"
#include "net/http_downloader.h"
#include "update/launcher_data.h"
#include "update/package_path.h"
#include "update/package_sha256.h"
#include "update/partial_download.h"
#include "update/signed_document.h"
#include "update/staging_folder.h"
#include "update/update_config.h"
#include "update/update_matcher.h"
#include "util/diagnostics.h"
#include "util/util.h"

#ifndef TARSEL_UPDATE_SERVER
#define TARSEL_UPDATE_SERVER "http://update.tarsel.invalid"
#endif

namespace {

constexpr const char* kTempPrefix = "~rqz_";
constexpr const char* kDocumentPath = "/pc/Update.cfg";
constexpr int kPartLimit = 5;

bool RemoveAnsiFile(const std::string& path) { return !path.empty() && Util::RemoveFile(Util::AnsiToWide(path)); }

// A temporary stem whose ".exe" name is free. The empty stem file keeps the
// name reserved while the package downloads; a stem the system hands out
// again after an earlier run removed its own must not lead to the package
// that run recorded. Rejected stems stay until the search ends, so the
// system cannot hand the same one out twice.
std::string MakePackageStem(const std::wstring& stagingDir) {
    std::vector<std::string> rejected;
    std::string chosen;
    for (int attempt = 0; attempt < 16 && chosen.empty(); ++attempt) {
        std::string stem = MakeStagingFileA(stagingDir, kTempPrefix);
        if (stem.empty()) break;
        // A partial download's side file keeps its package name taken too.
        if (Util::PathExistsA(stem + ".exe") || Util::PathExistsA(stem + ".exe.dl")) {
            rejected.push_back(stem);
        } else {
            chosen = stem;
        }
    }
    for (const std::string& stem : rejected) RemoveAnsiFile(stem);
    return chosen;
}

// A package an earlier run recorded: a "~rq*.tmp.exe" file in the same
// staging folder as the new one. Once a newer package is recorded nothing
// refers to it any more.
bool IsEarlierPackage(const std::wstring& earlier, const std::wstring& current) {
    if (earlier.empty() || _wcsicmp(earlier.c_str(), current.c_str()) == 0) return false;
    if (_wcsicmp(Util::GetFileDir(earlier).c_str(), Util::GetFileDir(current).c_str()) != 0) return false;
    std::wstring name = Util::GetPathFileName(earlier);
    const std::wstring suffix = L".tmp.exe";
    return name.size() > suffix.size() + 3 && _wcsnicmp(name.c_str(), L"~rq", 3) == 0 &&
           _wcsicmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0;
}

bool WriteKey(CIniFile& data, const wchar_t* key, const std::string& value) {
    return data.WriteString(LauncherDataKeys::kSection, key, Util::AnsiToWide(value));
}

}  // namespace

std::string UpperCaseDigest(std::string digest) {
    // ASCII only: a byte from 0x80 up (never part of a digest) stays as it
    // is, whether char is signed or not.
    for (char& c : digest) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 'A' && byte < 0x80) c = static_cast<char>(byte & ~0x20);
    }
    return digest;
}

std::string UpdateServerAddress(const CIniFile& launcherData) {
    std::string server = Util::WideToAnsi(launcherData.GetString(LauncherDataKeys::kSection, LauncherDataKeys::kServer));
    if (server.empty()) server = TARSEL_UPDATE_SERVER;
    while (!server.empty() && server.back() == '/') server.pop_back();
    return server;
}

std::string FetchUpdateConfig(const std::string& serverAddress, const std::wstring& stagingDir,
                              const net::TransferLimits& limits) {
    std::string path = MakeStagingFileA(stagingDir, kTempPrefix);
    if (path.empty()) return path;
    HttpDownloader downloader;
    downloader.SetTransferLimits(limits);
    downloader.SetDownloadUrl(serverAddress + kDocumentPath);
    downloader.DownloadFile(path, kPartLimit);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    bool fetched = handle && Util::GetFileSize32(Util::AnsiToWide(path)) != 0;
    downloader.CloseDownload(handle);
    if (fetched) return path;
    // A failed download leaves the empty file made above; nothing reads it.
    RemoveAnsiFile(path);
    return std::string();
}

std::string FetchUpdateConfig() {
    const std::optional<StagingFolder> staging = PrepareStagingFolder(Util::GetModuleDir());
    if (!staging) return std::string();
    return FetchUpdateConfig(UpdateServerAddress(*CLauncherData::GetInstance()), staging->path,
                             LimitsForCheck(kUpdateCheckPace, ::GetTickCount64()).document);
}

bool GetFile(const std::string& url, const std::string& file, const std::string& md5) {
    return GetFile(url, file, md5, std::nullopt);
}

bool GetFile(const std::string& url, const std::string& file, const std::string& md5,
             const std::optional<std::string>& sha256, const net::TransferLimits& limits, bool polite,
             const net::ResumeSettings& resume) {
    Util::DebugLine("[****] GetFile \n");
    Util::DebugLine("[****] ---------pstUrl:\n");
    Util::DebugValueA(url);
    Util::DebugLine("[****] ---------pstrFile:\n");
    Util::DebugValueA(file);
    Util::DebugLine("[****] ---------pstMD5:\n");
    Util::DebugValueA(md5);
    if (!PackagePathFits(file)) {
        // Fetched, it could never be verified: nothing would stop the next
        // launch from fetching it again.
        Util::DebugLine("[******] path too long, not downloading\n");
        return false;
    }

    HttpDownloader downloader;
    downloader.SetTransferLimits(limits);
    downloader.SetPolite(polite);
    downloader.SetResume(resume);
    downloader.SetDownloadUrl(url);
    downloader.DownloadFile(file, kPartLimit);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    if (!handle) {
        Util::DebugLine("[******] failing download\n");
        return false;
    }
    Util::DebugLine("[******] suc download\n");
    const FileDigests digests = GetFileDigests(file, sha256 ? DigestSet::kMd5AndSha256 : DigestSet::kMd5);
    std::string digest = UpperCaseDigest(digests.md5);
    // A missing file has no digest; a rule without one must not pass for it.
    bool verified = !digest.empty() && digest == md5;
    if (verified) {
        Util::DebugLine("[******] suc md5\n");
    } else {
        Util::DebugLine("[******] failing md5\n");
        Util::DebugValueA(digest);
    }
    if (verified && sha256 && !Sha256TextMatches(digests.sha256, *sha256)) {
        Util::DebugLine("[******] failing sha256\n");
        Util::DebugValueA(digests.sha256);
        verified = false;
    }
    downloader.CloseDownload(handle);
    return verified;
}

void GetUpdate(CIniFile& launcherData, const std::wstring& launcherDir, const std::string& publicKey,
               const UpdateCheckPace& pace) {
    Util::DebugLine("[*****] 获取网络资源 GetUpdate\n");
    const UpdateCheckLimits limits = LimitsForCheck(pace, ::GetTickCount64());
    // Without a folder only administrators can write there is nowhere safe
    // to keep an installer: the client has started, nothing is recorded.
    const std::optional<StagingFolder> staging = PrepareStagingFolder(launcherDir);
    if (!staging) return;
    // Before anything is known of the document: only damaged and old
    // partial downloads go.
    TidyPartialDownloads(staging->path, nullptr);
    const std::string server = UpdateServerAddress(launcherData);
    std::string document = FetchUpdateConfig(server, staging->path, limits.document);
    if (document.empty()) return;
    Util::DebugLine("[*****] sFile.not_empty()\n");
    Util::DebugValueA(document);

    DocumentCheck trust =
        CheckUpdateDocument(publicKey, server, document, launcherData, staging->path, limits.signature);
    if (!trust.accepted) {
        RemoveAnsiFile(document);
        return;
    }
    // The floor moves with every accepted document, whatever follows: a
    // newer document that withdrew a release must keep the older one that
    // offered it from being replayed.
    RecordDocumentTimestamp(launcherData, trust);
    UpdateInfoList records;
    ParseUpdateConfig(records, document);  // deletes the document, parsed or not
    if (trust.hold) {
        // The hold kept the parse from deleting the verified document.
        trust.hold.reset();
        RemoveAnsiFile(document);
    }
    UpdateMatcher matcher(&records);
    const PackageOffer nothingOffered;
    if (!SelectUpdate(matcher, launcherData, launcherDir)) {
        TidyPartialDownloads(staging->path, &nothingOffered);
        return;
    }
    UpdateInfo& selected = matcher.GetSelected();
    const std::optional<std::string> sha256 = PackageSha256(selected);
    if (!publicKey.empty() && !sha256) {
        // The signature covers the document, and only a digest the document
        // holds carries that to the package: MD5 alone can be forged.
        Util::DebugLine("[******] package without sha256, not offered by a launcher that checks signatures\n");
        TidyPartialDownloads(staging->path, &nothingOffered);
        return;
    }

    Util::DebugLine("[*****] 新资源匹配开始下载 GetFile\n");
    const PackageOffer offer{selected["url"], selected["md5"], sha256.value_or(std::string())};
    std::string package = TidyPartialDownloads(staging->path, &offer);
    std::string stem;
    if (package.empty()) {
        stem = MakePackageStem(staging->path);
        if (stem.empty()) return;
        package = stem + ".exe";
    } else {
        // The name's reservation, made by the start that began the download.
        stem = package.substr(0, package.size() - 4);
        Util::DebugLine("[******] continuing the download an earlier start left\n");
    }
    Util::DebugLine("[******] 待下载文件:\n");
    Util::DebugValueA(package);

    const bool polite = selected.count("background") != 0 && selected["background"] == "1";
    if (polite) Util::DebugLine("[******] background download\n");
    const net::ResumeSettings resume{DownloadRecordPath(staging->path), offer.md5, offer.sha256};
    bool verified = GetFile(selected["url"], package, selected["md5"], sha256, limits.package, polite, resume);
    if (!stem.empty()) RemoveAnsiFile(stem);
    if (!verified) {
        // Left behind, every failed run would add another unusable copy.
        RemoveAnsiFile(package);
        return;
    }
    Util::DebugLine("[*****] 新资源下载成功 \n");

    std::wstring earlier = launcherData.GetString(LauncherDataKeys::kSection, LauncherDataKeys::kExe);
    if (!WriteKey(launcherData, LauncherDataKeys::kExe, package)) {
        // A data file that cannot be written (read-only, locked) would leave
        // a verified package nobody refers to, one more at every launch.
        RemoveAnsiFile(package);
        return;
    }
    WriteKey(launcherData, LauncherDataKeys::kAction, "toupdate");
    WriteKey(launcherData, LauncherDataKeys::kMd5, selected["md5"]);
    WriteKey(launcherData, LauncherDataKeys::kType, selected["type"]);
    WriteKey(launcherData, LauncherDataKeys::kNewVer, selected["newversion"]);
    WriteKey(launcherData, LauncherDataKeys::kImgs, selected["imgs"]);
    WriteKey(launcherData, LauncherDataKeys::kDesc, selected["desc"]);
    WriteKey(launcherData, LauncherDataKeys::kUrl, selected["url"]);
    RecordPackageSha256(launcherData, sha256);
    if (IsEarlierPackage(earlier, Util::AnsiToWide(package))) Util::RemoveFile(earlier);

    Util::DebugValueA(package);
    Util::DebugValueA("toupdate");
    for (const char* key : {"md5", "type", "newversion", "imgs", "desc", "url"}) Util::DebugValueA(selected[key]);
}

void GetUpdate(CIniFile& launcherData, const std::wstring& launcherDir, const std::string& publicKey) {
    GetUpdate(launcherData, launcherDir, publicKey, kUpdateCheckPace);
}

void GetUpdate(CIniFile& launcherData, const std::wstring& launcherDir) {
    GetUpdate(launcherData, launcherDir, BuiltInUpdatePublicKey());
}

void GetUpdate() { GetUpdate(*CLauncherData::GetInstance(), Util::GetModuleDir()); }
